// Combiners: both sources over the block, then libnoise's operation on each
// pair, first source first (Max and Min keep libnoise's choice on NaN).
#include <libnoise/misc.h>

#include <cmath>

#include "engine/graph/batch/kinds.h"

namespace noisebind::objects::batch {
namespace {

template <class F>
void Combine(const Node& node, const Points& points, double* out, Evaluator& evaluator, F f) {
  // The array for the second taken after the first is done, so that a
  // chain through first sources holds none per level.
  evaluator.Source(node, 0, points, out);
  Arrays<1> second(evaluator.scratch());
  evaluator.Source(node, 1, points, second[0]);
  for (std::size_t i = 0; i < points.count; ++i) out[i] = f(out[i], second[0][i]);
}

}  // namespace

void Add(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  Combine(node, points, out, evaluator, [](double a, double b) { return a + b; });
}

void Max(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  Combine(node, points, out, evaluator, [](double a, double b) { return noise::GetMax(a, b); });
}

void Min(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  Combine(node, points, out, evaluator, [](double a, double b) { return noise::GetMin(a, b); });
}

void Multiply(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  Combine(node, points, out, evaluator, [](double a, double b) { return a * b; });
}

void Power(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  Combine(node, points, out, evaluator, [](double a, double b) { return std::pow(a, b); });
}

}  // namespace noisebind::objects::batch
