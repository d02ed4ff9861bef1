// The batch evaluation of each node kind, one function per libnoise class.
// Each gives, for every point of the block, the bits of the module's own
// GetValue: libnoise's operations in libnoise's order.
#ifndef NOISEBIND_OBJECTS_BATCH_KINDS_H
#define NOISEBIND_OBJECTS_BATCH_KINDS_H

#include "objects/batch/evaluator.h"

namespace noisebind::objects::batch {

// Generators (generators.cpp): the simd kernels.
void Billow(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Checkerboard(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Const(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Cylinders(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Perlin(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void RidgedMulti(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Spheres(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Voronoi(const Node& node, const Points& points, double* out, Evaluator& evaluator);

// Modifiers (modifiers.cpp): one source, value by value.
void Abs(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Clamp(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Curve(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Exponent(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Invert(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void ScaleBias(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Terrace(const Node& node, const Points& points, double* out, Evaluator& evaluator);

// Combiners (combiners.cpp): two sources, pair by pair.
void Add(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Max(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Min(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Multiply(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Power(const Node& node, const Points& points, double* out, Evaluator& evaluator);

// Selectors (selectors.cpp).
void Blend(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Select(const Node& node, const Points& points, double* out, Evaluator& evaluator);

// Transformers (transformers.cpp): the source at moved points.
void Displace(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void RotatePoint(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void ScalePoint(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void TranslatePoint(const Node& node, const Points& points, double* out, Evaluator& evaluator);
void Turbulence(const Node& node, const Points& points, double* out, Evaluator& evaluator);

}  // namespace noisebind::objects::batch

#endif  // NOISEBIND_OBJECTS_BATCH_KINDS_H
