// The control points of Curve and Terrace nodes. Each function changes
// nothing when it refuses, and returns null or why it refuses (a reason to
// follow the field or method name, e.g. "already has a control point at
// that input").
#ifndef NOISEBIND_GRAPH_CURVE_TERRACE_POINTS_H
#define NOISEBIND_GRAPH_CURVE_TERRACE_POINTS_H

#include <cstddef>

#include "engine/graph/node.h"

namespace noisebind::objects {

// libnoise copies the whole list at each insertion: a bound keeps that
// quadratic cost small.
constexpr std::size_t kMaxControlPoints = 1024;

// A Curve node's points as (input, output) pairs, in ascending input.
std::size_t CurvePointCount(const Node& curve);
void CurvePoint(const Node& curve, std::size_t index, double* input, double* output);
const char* AddCurvePoint(Node& curve, double input, double output) noexcept;
// Replaces every point with `count` pairs from `inputs` and `outputs`.
const char* SetCurvePoints(Node& curve, const double* inputs, const double* outputs,
                           std::size_t count) noexcept;

// A Terrace node's points, ascending.
std::size_t TerracePointCount(const Node& terrace);
double TerracePoint(const Node& terrace, std::size_t index);
const char* AddTerracePoint(Node& terrace, double value) noexcept;
const char* SetTerracePoints(Node& terrace, const double* values, std::size_t count) noexcept;
// libnoise's MakeControlPoints: `count` (2 or more) points evenly from -1 to 1.
const char* MakeTerracePoints(Node& terrace, double count) noexcept;

// Removes every point of a Curve or Terrace node.
void ClearControlPoints(Node& node) noexcept;

}  // namespace noisebind::objects

#endif  // NOISEBIND_GRAPH_CURVE_TERRACE_POINTS_H
