#include "engine/graph/batch/batch.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <new>

#include "engine/graph/batch/evaluator.h"
#include "engine/graph/batch/kinds.h"

namespace noisebind::objects::batch {
namespace {

using namespace noise::module;

constexpr KindFunction kKinds[] = {
#define NOISEBIND_BATCH(name, held, sources, fields, evaluate) evaluate,
    NOISEBIND_CLASSES(NOISEBIND_BATCH)
#undef NOISEBIND_BATCH
};

// Counts in `done` the points whose values are in `out`.
void EvaluateBlocks(Evaluator& evaluator, const Node& node, const double* x, const double* y,
                    const double* z, std::size_t count, double* out, std::size_t& done) {
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

// The evaluators a thread keeps from call to call, for the graphs it
// evaluated last: a map's blocks, a loop of chunks or of calc then allocate
// nothing after their first block. Each is made again when any graph has
// changed since (GraphGeneration), as the nodes it knows may be gone.
class ThreadEvaluators {
 public:
  // Evaluates with the evaluator of `root`'s graph, made or remade first.
  void Evaluate(const Node& root, const double* x, const double* y, const double* z,
                std::size_t count, double* out, std::size_t& done) {
    if (m_busy) {
      Evaluator fresh(root);
      return EvaluateBlocks(fresh, root, x, y, z, count, out, done);
    }
    struct Busy {
      bool& busy;
      ~Busy() { busy = false; }
    } busy{m_busy};
    m_busy = true;
    Held& held = Find(root);
    try {
      EvaluateBlocks(*held.evaluator, root, x, y, z, count, out, done);
    } catch (...) {
      held.evaluator.reset();  // left in the middle of a block
      throw;
    }
  }

 private:
  static constexpr std::size_t kHeld = 4;
  struct Held {
    std::unique_ptr<Evaluator> evaluator;
    const Node* root = nullptr;
    std::uint64_t generation = 0;
    std::uint64_t used = 0;
  };

  // The root's evaluator, or the least recently used one remade for it.
  Held& Find(const Node& root) {
    const std::uint64_t generation = GraphGeneration();
    Held* chosen = &m_held[0];
    for (Held& held : m_held) {
      if (held.root == &root && held.evaluator != nullptr) {
        chosen = &held;
        break;
      }
      if (held.used < chosen->used) chosen = &held;
    }
    chosen->used = ++m_clock;
    if (chosen->evaluator == nullptr) {
      chosen->root = nullptr;
      chosen->evaluator = std::make_unique<Evaluator>(root);
    } else if (chosen->root != &root || chosen->generation != generation) {
      chosen->root = nullptr;
      chosen->evaluator->Reset(root);
    }
    chosen->root = &root;
    chosen->generation = generation;
    return *chosen;
  }

  Held m_held[kHeld];
  std::uint64_t m_clock = 0;
  bool m_busy = false;
};

thread_local ThreadEvaluators t_evaluators;

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
    t_evaluators.Evaluate(node, x, y, z, count, out, done);
  } catch (const std::bad_alloc&) {
    // The rest point by point: the block that failed has changed no
    // coordinate (an in-place block is staged), so it can start again.
    PointByPoint(node, {x + done, y + done, z + done, count - done}, out + done);
  }
}

}  // namespace noisebind::objects::batch
