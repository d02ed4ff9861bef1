// Generators: each block straight through the simd kernels, which give
// libnoise's bits on every instruction-set path.
#include <libnoise/module/module.h>

#include "noisebind/simd/evaluate.h"
#include "objects/batch/kinds.h"

namespace noisebind::objects::batch {
namespace {

template <class M>
void Generate(const Node& node, const Points& points, double* out) {
  if (const M* module = node.As<M>()) return simd::Evaluate(*module, points, out);
  PointByPoint(node, points, out);
}

}  // namespace

void Billow(const Node& node, const Points& points, double* out, Evaluator&) {
  Generate<noise::module::Billow>(node, points, out);
}

void Checkerboard(const Node& node, const Points& points, double* out, Evaluator&) {
  Generate<noise::module::Checkerboard>(node, points, out);
}

void Const(const Node& node, const Points& points, double* out, Evaluator&) {
  Generate<noise::module::Const>(node, points, out);
}

void Cylinders(const Node& node, const Points& points, double* out, Evaluator&) {
  Generate<noise::module::Cylinders>(node, points, out);
}

void Perlin(const Node& node, const Points& points, double* out, Evaluator&) {
  Generate<noise::module::Perlin>(node, points, out);
}

void RidgedMulti(const Node& node, const Points& points, double* out, Evaluator&) {
  Generate<noise::module::RidgedMulti>(node, points, out);
}

void Spheres(const Node& node, const Points& points, double* out, Evaluator&) {
  Generate<noise::module::Spheres>(node, points, out);
}

void Voronoi(const Node& node, const Points& points, double* out, Evaluator&) {
  Generate<noise::module::Voronoi>(node, points, out);
}

}  // namespace noisebind::objects::batch
