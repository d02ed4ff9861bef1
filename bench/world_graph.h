// The graph of examples/world.lua, built in C++ from the same classes and
// settings, for the batch bench.
#ifndef NOISEBIND_BENCH_WORLD_GRAPH_H
#define NOISEBIND_BENCH_WORLD_GRAPH_H

#include <memory>
#include <vector>

#include "objects/node.h"

namespace noisebind::bench {

class WorldGraph {
 public:
  // Throws std::runtime_error when a setting is refused.
  WorldGraph();

  const objects::Node& root() const { return *m_root; }

 private:
  struct Destroy {
    void operator()(objects::Node* node) const;
  };
  struct Setting {
    const char* field;
    double value;
  };

  objects::Node& Make(objects::Kind kind, std::vector<objects::Node*> sources,
                      std::vector<Setting> settings = {});
  objects::Node& Curve(objects::Node& source, const std::vector<double>& inputs,
                       const std::vector<double>& outputs);

  std::vector<std::unique_ptr<objects::Node, Destroy>> m_nodes;
  const objects::Node* m_root = nullptr;
};

}  // namespace noisebind::bench

#endif  // NOISEBIND_BENCH_WORLD_GRAPH_H
