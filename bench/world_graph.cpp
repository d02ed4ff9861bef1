#include "world_graph.h"

#include <utility>

namespace noisebind::bench {

using objects::Kind;
using objects::Node;

// Line by line the script's graph; see examples/world.lua for why each part
// is there.
WorldGraph::WorldGraph() {
  const auto Make = [this](Kind kind, std::vector<Node*> sources,
                           std::vector<ObjectGraph::Setting> settings = {}) -> Node& {
    return m_graph.Make(kind, std::move(sources), std::move(settings));
  };
  Node& shape = Make(Kind::kPerlin, {},
                     {{"frequency", 1.1}, {"octaves", 7}, {"persistence", 0.52}, {"seed", 11}});
  Node& continents = m_graph.Curve(
      shape, {{-1.5, -1.1}, {-0.4, -0.5}, {-0.05, -0.08}, {0.05, 0.04}, {0.4, 0.22}, {1.5, 0.55}});

  Node& ridges = Make(Kind::kRidgedMulti, {}, {{"frequency", 3.2}, {"octaves", 6}, {"seed", 12}});
  Node& warped = Make(Kind::kTurbulence, {&ridges},
                      {{"frequency", 9}, {"power", 0.035}, {"roughness", 3}, {"seed", 13}});
  Node& mountains = Make(Kind::kScaleBias, {&warped}, {{"scale", 0.32}, {"bias", 0.3}});

  Node& billow = Make(Kind::kBillow, {},
                      {{"frequency", 7}, {"octaves", 4}, {"persistence", 0.45}, {"seed", 14}});
  Node& hills = Make(Kind::kScaleBias, {&billow}, {{"scale", 0.09}, {"bias", 0.12}});
  Node& flat = Make(Kind::kPerlin, {}, {{"frequency", 14}, {"octaves", 3}, {"seed", 15}});
  Node& plains = Make(Kind::kScaleBias, {&flat}, {{"scale", 0.02}, {"bias", 0.03}});

  Node& terrain = Make(Kind::kPerlin, {}, {{"frequency", 1.6}, {"octaves", 4}, {"seed", 16}});
  Node& lowlands = Make(Kind::kSelect, {&plains, &hills, &terrain},
                        {{"lower", -0.2}, {"upper", 100}, {"falloff", 0.1}});
  Node& relief = Make(Kind::kSelect, {&lowlands, &mountains, &terrain},
                      {{"lower", 0.25}, {"upper", 100}, {"falloff", 0.15}});

  Node& steep = Make(Kind::kScaleBias, {&continents}, {{"scale", 6}});
  Node& inland = Make(Kind::kClamp, {&steep}, {{"lower", 0}, {"upper", 1}});
  Node& land = Make(Kind::kAdd, {&continents, &Make(Kind::kMultiply, {&relief, &inland})});

  Node& rivers = Make(Kind::kRidgedMulti, {}, {{"frequency", 3}, {"octaves", 1}, {"seed", 17}});
  Node& channels =
      Make(Kind::kTurbulence, {&rivers}, {{"frequency", 14}, {"power", 0.025}, {"seed", 18}});
  Node& depth = m_graph.Curve(channels, {{-2, 0}, {0, 0}, {0.12, -0.06}, {0.2, -0.35}, {2, -0.35}});
  m_root = &Make(Kind::kAdd, {&land, &Make(Kind::kMultiply, {&depth, &inland})});
  ObjectGraph::CheckEvaluable(*m_root);
}

}  // namespace noisebind::bench
