#include "objects/batch/batch.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "objects/batch/evaluator.h"
#include "objects/batch/kinds.h"

namespace noisebind::objects::batch {
namespace {

using namespace noise::module;

constexpr KindFunction kKinds[] = {
#define NOISEBIND_BATCH(name, held, sources, fields, evaluate) evaluate,
    NOISEBIND_CLASSES(NOISEBIND_BATCH)
#undef NOISEBIND_BATCH
};

// Counts in `done` the points whose values are in `out`.
void EvaluateBlocks(const Node& node, const double* x, const double* y, const double* z,
                    std::size_t count, double* out, std::size_t& done) {
  Evaluator evaluator(node);
  // Where the output is one of the coordinate arrays, each block goes
  // through a scratch array first, so no point is read after it is written.
  const bool inPlace = out == x || out == y || out == z;
  for (std::size_t start = 0; start < count; start += kBlockSize) {
    const Points points{x + start, y + start, z + start, std::min(kBlockSize, count - start)};
    if (inPlace) {
      Arrays<1> staged(evaluator.scratch());
      evaluator.Block(node, points, staged[0]);
      std::copy_n(staged[0], points.count, out + start);
    } else {
      evaluator.Block(node, points, out + start);
    }
    done = start + points.count;
  }
}

}  // namespace

void Evaluator::Run(const Node& node, const Points& points, double* out) {
  // Evaluable graphs never go deeper; this bounds the recursion regardless.
  if (m_depth >= kMaxGraphDepth) return PointByPoint(node, points, out);
  const std::uint32_t slot = SlotOf(node);
  if (slot != kNotShared && Recall(slot, *m_current, out)) return;
  ++m_depth;
  kKinds[static_cast<int>(node.kind())](node, points, out, *this);
  --m_depth;
  if (slot != kNotShared) m_kept.Keep(slot, m_current->id, out, points.count);
}

void PointByPoint(const Node& node, const Points& points, double* out) {
  const noise::module::Module& module = node.module();
  for (std::size_t i = 0; i < points.count; ++i) {
    out[i] = module.GetValue(points.x[i], points.y[i], points.z[i]);
  }
}

void Evaluate(const Node& node, const double* x, const double* y, const double* z,
              std::size_t count, double* out) noexcept {
  std::size_t done = 0;
  try {
    EvaluateBlocks(node, x, y, z, count, out, done);
  } catch (const std::bad_alloc&) {
    // The rest point by point: the block that failed has changed no
    // coordinate (an in-place block is staged), so it can start again.
    PointByPoint(node, {x + done, y + done, z + done, count - done}, out + done);
  }
}

}  // namespace noisebind::objects::batch
