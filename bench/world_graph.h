// The graph of examples/world.lua, built in C++ from the same classes and
// settings, for the batch bench.
#ifndef NOISEBIND_BENCH_WORLD_GRAPH_H
#define NOISEBIND_BENCH_WORLD_GRAPH_H

#include "object_graph.h"

namespace noisebind::bench {

class WorldGraph {
 public:
  // Throws std::runtime_error when a setting is refused.
  WorldGraph();

  const objects::Node& root() const { return *m_root; }

 private:
  ObjectGraph m_graph;
  const objects::Node* m_root = nullptr;
};

}  // namespace noisebind::bench

#endif  // NOISEBIND_BENCH_WORLD_GRAPH_H
