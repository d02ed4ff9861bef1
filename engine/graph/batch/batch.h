// Whole noise graphs evaluated a block of points at a time: generators
// through the simd kernels, every other module over arrays. Each value is
// bit for bit the module's own GetValue at that point.
#ifndef NOISEBIND_OBJECTS_BATCH_BATCH_H
#define NOISEBIND_OBJECTS_BATCH_BATCH_H

#include <cstddef>

namespace noisebind::objects {

class Node;

namespace batch {

// Points per block: small enough that a graph's arrays stay in the caches,
// large enough that the walk over the graph costs little per point.
constexpr std::size_t kBlockSize = 256;

// out[i] = node.module().GetValue(x[i], y[i], z[i]) for i < count. The node
// must be Evaluable. Any of the arrays may overlap. Reads the graph only, so
// threads may evaluate one graph at once. Each thread keeps its arrays for
// the few graphs it evaluated last, so that calls after the first (a map's
// blocks, a loop of chunks or of single points) allocate nothing while no
// graph changes. Where memory for the arrays runs out it evaluates point
// by point instead.
void Evaluate(const Node& node, const double* x, const double* y, const double* z,
              std::size_t count, double* out) noexcept;

}  // namespace batch
}  // namespace noisebind::objects

#endif  // NOISEBIND_OBJECTS_BATCH_BATCH_H
