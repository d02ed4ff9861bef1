#include "engine/graph/curve_terrace_points.h"

#include <libnoise/exception.h>
#include <libnoise/module/curve.h>
#include <libnoise/module/terrace.h>

#include <cmath>

#include "entry/conversions.h"

namespace noisebind::objects {
namespace {

using noise::module::Curve;
using noise::module::Terrace;

constexpr char kNotFinite[] = "must be finite numbers";
constexpr char kTooMany[] = "would be more than 1024 control points";
constexpr char kDuplicate[] = "has the same input twice";
constexpr char kDuplicateValue[] = "has the same value twice";
constexpr char kTooFew[] = "must be an integer from 2 to 1024";
constexpr char kNoMemory[] = "needs more memory than there is";

// Runs `apply`, turning libnoise's refusal into `refused`; the graph may
// change its evaluability, so every success is announced.
template <class Apply>
const char* Guarded(Apply apply, const char* refused) noexcept {
  try {
    apply();
  } catch (const noise::ExceptionInvalidParam&) {
    return refused;
  } catch (...) {
    return kNoMemory;
  }
  Node::GraphChanged();
  return nullptr;
}

// Adds every point to a scratch module first, so that libnoise's own
// duplicate check refuses before the node changes.
template <class M, class Add>
const char* Replace(Node& node, std::size_t count, Add add, const char* duplicate) noexcept {
  if (count > kMaxControlPoints) return kTooMany;
  try {
    M scratch;
    for (std::size_t i = 0; i < count; ++i) add(scratch, i);
  } catch (const noise::ExceptionInvalidParam&) {
    return duplicate;
  } catch (...) {
    return kNoMemory;
  }
  M* module = node.MutableAs<M>();
  return Guarded(
      [&] {
        module->ClearAllControlPoints();
        for (std::size_t i = 0; i < count; ++i) add(*module, i);
      },
      duplicate);
}

}  // namespace

std::size_t CurvePointCount(const Node& curve) {
  return static_cast<std::size_t>(curve.As<Curve>()->GetControlPointCount());
}

void CurvePoint(const Node& curve, std::size_t index, double* input, double* output) {
  const noise::module::ControlPoint& point = curve.As<Curve>()->GetControlPointArray()[index];
  *input = point.inputValue;
  *output = point.outputValue;
}

const char* AddCurvePoint(Node& curve, double input, double output) noexcept {
  if (!std::isfinite(input) || !std::isfinite(output)) return kNotFinite;
  if (CurvePointCount(curve) >= kMaxControlPoints) return kTooMany;
  return Guarded([&] { curve.MutableAs<Curve>()->AddControlPoint(input, output); },
                 "already has a control point at that input");
}

const char* SetCurvePoints(Node& curve, const double* inputs, const double* outputs,
                           std::size_t count) noexcept {
  for (std::size_t i = 0; i < count; ++i) {
    if (!std::isfinite(inputs[i]) || !std::isfinite(outputs[i])) return kNotFinite;
  }
  return Replace<Curve>(
      curve, count,
      [&](Curve& module, std::size_t i) { module.AddControlPoint(inputs[i], outputs[i]); },
      kDuplicate);
}

std::size_t TerracePointCount(const Node& terrace) {
  return static_cast<std::size_t>(terrace.As<Terrace>()->GetControlPointCount());
}

double TerracePoint(const Node& terrace, std::size_t index) {
  return terrace.As<Terrace>()->GetControlPointArray()[index];
}

const char* AddTerracePoint(Node& terrace, double value) noexcept {
  if (!std::isfinite(value)) return kNotFinite;
  if (TerracePointCount(terrace) >= kMaxControlPoints) return kTooMany;
  return Guarded([&] { terrace.MutableAs<Terrace>()->AddControlPoint(value); },
                 "already has a control point at that value");
}

const char* SetTerracePoints(Node& terrace, const double* values, std::size_t count) noexcept {
  for (std::size_t i = 0; i < count; ++i) {
    if (!std::isfinite(values[i])) return kNotFinite;
  }
  return Replace<Terrace>(
      terrace, count, [&](Terrace& module, std::size_t i) { module.AddControlPoint(values[i]); },
      kDuplicateValue);
}

const char* MakeTerracePoints(Node& terrace, double count) noexcept {
  const int points = ToInt32(count);
  if (points < 2 || static_cast<std::size_t>(points) > kMaxControlPoints) return kTooFew;
  return Guarded([&] { terrace.MutableAs<Terrace>()->MakeControlPoints(points); }, kTooFew);
}

void ClearControlPoints(Node& node) noexcept {
  if (auto* curve = node.MutableAs<Curve>()) curve->ClearAllControlPoints();
  if (auto* terrace = node.MutableAs<Terrace>()) terrace->ClearAllControlPoints();
  Node::GraphChanged();
}

}  // namespace noisebind::objects
