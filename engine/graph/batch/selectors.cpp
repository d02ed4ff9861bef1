// Selectors. Select evaluates each source only at the points whose value
// needs it, gathered into a smaller block: a terrain graph selects between
// costly sources, and libnoise too evaluates only the one it returns.
#include <libnoise/interp.h>
#include <libnoise/module/module.h>

#include <cstdint>

#include "engine/graph/batch/kinds.h"

namespace noisebind::objects::batch {
namespace {

// Which sources Select::GetValue reads at a control value, in its order of
// tests; NaN passes none of them.
enum class Region : std::uint8_t { kFirst, kLowerEdge, kSecond, kUpperEdge };

struct Selection {
  double lower, upper, falloff;

  explicit Selection(const noise::module::Select& select)
      : lower(select.GetLowerBound()),
        upper(select.GetUpperBound()),
        falloff(select.GetEdgeFalloff()) {}

  Region Of(double control) const {
    if (!(falloff > 0.0)) {
      return control < lower || control > upper ? Region::kFirst : Region::kSecond;
    }
    if (control < lower - falloff) return Region::kFirst;
    if (control < lower + falloff) return Region::kLowerEdge;
    if (control < upper - falloff) return Region::kSecond;
    if (control < upper + falloff) return Region::kUpperEdge;
    return Region::kFirst;
  }

  static bool NeedsFirst(Region region) { return region != Region::kSecond; }
  static bool NeedsSecond(Region region) { return region != Region::kFirst; }

  // The value in an edge region, blending from the source inside the range
  // to the one outside as libnoise does.
  double Edge(Region region, double control, double first, double second) const {
    const double bound = region == Region::kLowerEdge ? lower : upper;
    const double lowerCurve = bound - falloff;
    const double upperCurve = bound + falloff;
    const double alpha = noise::SCurve3((control - lowerCurve) / (upperCurve - lowerCurve));
    return region == Region::kLowerEdge ? noise::LinearInterp(first, second, alpha)
                                        : noise::LinearInterp(second, first, alpha);
  }
};

// Source `index` of `node` into out[i] wherever needs(i), which holds at
// `count` points; elsewhere `out` keeps what it had, or holds the source's
// value there too.
template <class Needs>
void SourceWhere(const Node& node, int index, const Points& points, double* out,
                 Evaluator& evaluator, std::size_t count, Needs needs) {
  if (count == 0) return;
  // Nearly every point: the source over the whole block costs less than
  // gathering the few out (and the values at the others go unread).
  if (count * 8 >= points.count * 7) return evaluator.Source(node, index, points, out);
  Arrays<4> gathered(evaluator.scratch());
  double* const x = gathered[0];
  double* const y = gathered[1];
  double* const z = gathered[2];
  double* const values = gathered[3];
  std::uint64_t mask[kBlockSize / 64] = {};
  std::size_t n = 0;
  for (std::size_t i = 0; i < points.count; ++i) {
    if (!needs(i)) continue;
    mask[i / 64] |= std::uint64_t{1} << (i % 64);
    x[n] = points.x[i];
    y[n] = points.y[i];
    z[n] = points.z[i];
    ++n;
  }
  evaluator.SourceSubset(node, index, {x, y, z, n}, mask, values);
  n = 0;
  for (std::size_t i = 0; i < points.count; ++i) {
    if (needs(i)) out[i] = values[n++];
  }
}

}  // namespace

void Blend(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  Arrays<2> arrays(evaluator.scratch());
  double* const second = arrays[0];
  double* const control = arrays[1];
  evaluator.Source(node, 0, points, out);
  evaluator.Source(node, 1, points, second);
  evaluator.Source(node, 2, points, control);
  for (std::size_t i = 0; i < points.count; ++i) {
    out[i] = noise::LinearInterp(out[i], second[i], (control[i] + 1.0) / 2.0);
  }
}

void Select(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  const auto* select = Typed<noise::module::Select>(node, points, out);
  if (select == nullptr) return;
  const Selection selection(*select);
  Arrays<1> controlArray(evaluator.scratch());
  double* const control = controlArray[0];
  evaluator.Source(node, 2, points, control);
  // Each point's region, found once.
  Region regions[kBlockSize];
  std::size_t first = 0, second = 0;
  for (std::size_t i = 0; i < points.count; ++i) {
    regions[i] = selection.Of(control[i]);
    first += Selection::NeedsFirst(regions[i]);
    second += Selection::NeedsSecond(regions[i]);
  }
  SourceWhere(node, 0, points, out, evaluator, first,
              [&](std::size_t i) { return Selection::NeedsFirst(regions[i]); });
  // Taken once the first source is done, so that Selects nested through
  // their first sources hold one array a level, not two.
  Arrays<1> secondArray(evaluator.scratch());
  double* const secondValues = secondArray[0];
  SourceWhere(node, 1, points, secondValues, evaluator, second,
              [&](std::size_t i) { return Selection::NeedsSecond(regions[i]); });
  for (std::size_t i = 0; i < points.count; ++i) {
    const Region region = regions[i];
    if (region == Region::kSecond) {
      out[i] = secondValues[i];
    } else if (region != Region::kFirst) {
      out[i] = selection.Edge(region, control[i], out[i], secondValues[i]);
    }
  }
}

}  // namespace noisebind::objects::batch
