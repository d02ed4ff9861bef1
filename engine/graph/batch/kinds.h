// The batch evaluation of each node kind, one function per libnoise class.
// Each gives, for every point of the block, the bits of the module's own
// GetValue: libnoise's operations in libnoise's order.
#ifndef NOISEBIND_OBJECTS_BATCH_KINDS_H
#define NOISEBIND_OBJECTS_BATCH_KINDS_H

#include <libnoise/module/module.h>

#include "engine/graph/batch/evaluator.h"
#include "noisebind/simd/evaluate.h"

namespace noisebind::objects::batch {

// Generators: the simd kernels, for M any of the eight classes they take.
template <class M>
void Generate(const Node& node, const Points& points, double* out, Evaluator&) {
  if (const M* module = node.As<M>()) return simd::Evaluate(*module, points, out);
  PointByPoint(node, points, out);
}

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

// Cache (modifiers.cpp): its source's values; sharing is the evaluator's.
void Cache(const Node& node, const Points& points, double* out, Evaluator& evaluator);

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
