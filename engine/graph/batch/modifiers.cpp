// Modifiers: the source's values over the block, then libnoise's formula on
// each (interp.h and misc.h are libnoise's own inline helpers).
#include <libnoise/interp.h>
#include <libnoise/misc.h>
#include <libnoise/module/module.h>

#include <cmath>

#include "engine/graph/batch/kinds.h"

namespace noisebind::objects::batch {
namespace {

template <class F>
void Modify(const Node& node, const Points& points, double* out, Evaluator& evaluator, F f) {
  evaluator.Source(node, 0, points, out);
  for (std::size_t i = 0; i < points.count; ++i) out[i] = f(out[i]);
}

// Curve::GetValue: the first control point above the value (NaN is below
// none), then a cubic through the four around it.
double CurveValue(const noise::module::ControlPoint* points, int count, double value) {
  int above = 0;
  while (above < count && !(value < points[above].inputValue)) ++above;
  const int i0 = noise::ClampValue(above - 2, 0, count - 1);
  const int i1 = noise::ClampValue(above - 1, 0, count - 1);
  const int i2 = noise::ClampValue(above, 0, count - 1);
  const int i3 = noise::ClampValue(above + 1, 0, count - 1);
  if (i1 == i2) return points[i1].outputValue;
  const double input0 = points[i1].inputValue;
  const double input1 = points[i2].inputValue;
  const double alpha = (value - input0) / (input1 - input0);
  return noise::CubicInterp(points[i0].outputValue, points[i1].outputValue, points[i2].outputValue,
                            points[i3].outputValue, alpha);
}

// Terrace::GetValue: the terrace between the two points around the value.
double TerraceValue(const double* points, int count, bool inverted, double value) {
  int above = 0;
  while (above < count && !(value < points[above])) ++above;
  const int i0 = noise::ClampValue(above - 1, 0, count - 1);
  const int i1 = noise::ClampValue(above, 0, count - 1);
  if (i0 == i1) return points[i1];
  double value0 = points[i0];
  double value1 = points[i1];
  double alpha = (value - value0) / (value1 - value0);
  if (inverted) {
    alpha = 1.0 - alpha;
    noise::SwapValues(value0, value1);
  }
  alpha *= alpha;
  return noise::LinearInterp(value0, value1, alpha);
}

}  // namespace

void Abs(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  Modify(node, points, out, evaluator, [](double v) { return std::fabs(v); });
}

void Cache(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  evaluator.Source(node, 0, points, out);
}

void Clamp(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  const auto* clamp = Typed<noise::module::Clamp>(node, points, out);
  if (clamp == nullptr) return;
  const double lower = clamp->GetLowerBound();
  const double upper = clamp->GetUpperBound();
  Modify(node, points, out, evaluator, [lower, upper](double v) {
    if (v < lower) return lower;
    return v > upper ? upper : v;
  });
}

void Curve(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  const auto* curve = Typed<noise::module::Curve>(node, points, out);
  if (curve == nullptr) return;
  const noise::module::ControlPoint* controls = curve->GetControlPointArray();
  const int count = curve->GetControlPointCount();
  Modify(node, points, out, evaluator,
         [controls, count](double v) { return CurveValue(controls, count, v); });
}

void Exponent(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  const auto* exponent = Typed<noise::module::Exponent>(node, points, out);
  if (exponent == nullptr) return;
  const double power = exponent->GetExponent();
  Modify(node, points, out, evaluator,
         [power](double v) { return std::pow(std::fabs((v + 1.0) / 2.0), power) * 2.0 - 1.0; });
}

void Invert(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  Modify(node, points, out, evaluator, [](double v) { return -v; });
}

void ScaleBias(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  const auto* scaleBias = Typed<noise::module::ScaleBias>(node, points, out);
  if (scaleBias == nullptr) return;
  const double scale = scaleBias->GetScale();
  const double bias = scaleBias->GetBias();
  Modify(node, points, out, evaluator, [scale, bias](double v) { return v * scale + bias; });
}

void Terrace(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  const auto* terrace = Typed<noise::module::Terrace>(node, points, out);
  if (terrace == nullptr) return;
  const double* controls = terrace->GetControlPointArray();
  const int count = terrace->GetControlPointCount();
  const bool inverted = terrace->IsTerracesInverted();
  Modify(node, points, out, evaluator, [controls, count, inverted](double v) {
    return TerraceValue(controls, count, inverted, v);
  });
}

}  // namespace noisebind::objects::batch
