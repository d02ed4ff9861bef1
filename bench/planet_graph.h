// The planet of planet_recipe.h, built twice: from libnoise's own classes
// with a Cache module wherever a subgraph is shared (as a libnoise program
// is written), and as noise objects (as examples/planet_big.lua builds it).
#ifndef NOISEBIND_BENCH_PLANET_GRAPH_H
#define NOISEBIND_BENCH_PLANET_GRAPH_H

#include <libnoise/module/modulebase.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "object_graph.h"

namespace noisebind::bench {

// libnoise's Cache keeps the last point it was asked for: evaluate one
// NativePlanet on one thread only.
class NativePlanet {
 public:
  NativePlanet();

  const noise::module::Module& root() const { return *m_root; }
  std::size_t ModuleCount() const { return m_modules.size(); }
  std::size_t CacheCount() const { return m_caches; }

 private:
  friend class NativeBuilder;
  std::vector<std::unique_ptr<noise::module::Module>> m_modules;
  std::size_t m_caches = 0;
  const noise::module::Module* m_root = nullptr;
};

class ObjectPlanet {
 public:
  // Throws std::runtime_error when a setting is refused.
  ObjectPlanet();

  const objects::Node& root() const { return *m_root; }
  std::size_t NodeCount() const { return m_graph.size(); }

 private:
  ObjectGraph m_graph;
  const objects::Node* m_root = nullptr;
};

}  // namespace noisebind::bench

#endif  // NOISEBIND_BENCH_PLANET_GRAPH_H
