// A graph of noise objects built in C++ for the benches and their tests: it
// owns its nodes and refuses, with an exception, what the binding would
// refuse a script.
#ifndef NOISEBIND_BENCH_OBJECT_GRAPH_H
#define NOISEBIND_BENCH_OBJECT_GRAPH_H

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "engine/graph/node.h"

namespace noisebind::bench {

class ObjectGraph {
 public:
  struct Setting {
    const char* field;
    double value;
  };

  // A node of `kind` with these sources (in libnoise's order) and fields.
  // Throws std::runtime_error when one is refused.
  objects::Node& Make(objects::Kind kind, std::vector<objects::Node*> sources,
                      std::vector<Setting> settings = {});
  // Curve and Terrace nodes with their control points; the same refusals.
  objects::Node& Curve(objects::Node& source, const std::vector<std::pair<double, double>>& points);
  objects::Node& Terrace(objects::Node& source, const std::vector<double>& points);

  // Throws std::runtime_error with the reason when `root` cannot be evaluated.
  static void CheckEvaluable(const objects::Node& root);

  std::size_t size() const { return m_nodes.size(); }

 private:
  struct Destroy {
    void operator()(objects::Node* node) const;
  };
  std::vector<std::unique_ptr<objects::Node, Destroy>> m_nodes;
};

}  // namespace noisebind::bench

#endif  // NOISEBIND_BENCH_OBJECT_GRAPH_H
