#include "hard_graphs.h"

#include <libnoise/noise.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/maps/map_builder.h"
#include "engine/maps/node_source.h"
#include "map_figures.h"
#include "object_graph.h"

namespace noisebind::bench {
namespace {

using objects::Kind;
using objects::Node;
using Module = noise::module::Module;

// One graph in both forms, built step by step alike.
class Twin {
 public:
  struct Pair {
    Module* native;
    Node* object;
  };

  // `set` gives the libnoise module the settings `settings` give the object.
  template <class M, class Set>
  Pair Make(Kind kind, std::vector<Pair> sources, std::vector<ObjectGraph::Setting> settings,
            Set set) {
    auto module = std::make_unique<M>();
    set(*module);
    std::vector<Node*> objectSources;
    for (std::size_t i = 0; i < sources.size(); ++i) {
      module->SetSourceModule(static_cast<int>(i), *sources[i].native);
      objectSources.push_back(sources[i].object);
    }
    m_modules.push_back(std::move(module));
    return {m_modules.back().get(), &m_objects.Make(kind, objectSources, settings)};
  }
  template <class M>
  Pair Make(Kind kind, std::vector<Pair> sources) {
    return Make<M>(kind, std::move(sources), {}, [](M&) {});
  }

 private:
  std::vector<std::unique_ptr<Module>> m_modules;
  ObjectGraph m_objects;
};

Twin::Pair Shared200(Twin& twin) {
  // Two chains, a sum and a product, read each of 200 scaled Perlins.
  Twin::Pair sum{}, product{};
  for (int i = 0; i < 200; ++i) {
    const Twin::Pair perlin = twin.Make<noise::module::Perlin>(
        Kind::kPerlin, {}, {{"octaves", 1}, {"seed", static_cast<double>(i)}},
        [i](noise::module::Perlin& m) {
          m.SetOctaveCount(1);
          m.SetSeed(i);
        });
    const Twin::Pair leaf = twin.Make<noise::module::ScaleBias>(Kind::kScaleBias, {perlin},
                                                                {{"scale", 0.5}, {"bias", 0.01}},
                                                                [](noise::module::ScaleBias& m) {
                                                                  m.SetScale(0.5);
                                                                  m.SetBias(0.01);
                                                                });
    sum = i == 0 ? leaf : twin.Make<noise::module::Add>(Kind::kAdd, {sum, leaf});
    product = i == 0 ? leaf : twin.Make<noise::module::Multiply>(Kind::kMultiply, {product, leaf});
  }
  return twin.Make<noise::module::Add>(Kind::kAdd, {sum, product});
}

Twin::Pair Chain900(Twin& twin) {
  Twin::Pair previous = twin.Make<noise::module::Perlin>(Kind::kPerlin, {});
  for (int i = 0; i < 900; ++i) {
    const Twin::Pair constant =
        twin.Make<noise::module::Const>(Kind::kConst, {}, {{"value", 0.001}},
                                        [](noise::module::Const& m) { m.SetConstValue(0.001); });
    previous = twin.Make<noise::module::Add>(Kind::kAdd, {previous, constant});
  }
  return previous;
}

Twin::Pair Select900(Twin& twin) {
  const Twin::Pair control = twin.Make<noise::module::Spheres>(
      Kind::kSpheres, {}, {{"frequency", 3}}, [](noise::module::Spheres& m) { m.SetFrequency(3); });
  Twin::Pair previous = twin.Make<noise::module::Const>(Kind::kConst, {});
  for (int i = 0; i < 900; ++i) {
    // A narrow band of the control picks a constant at each level; the
    // other points go on down.
    const double at = -1.0 + 2.0 * i / 900.0;
    const Twin::Pair constant = twin.Make<noise::module::Const>(
        Kind::kConst, {}, {{"value", at}}, [at](noise::module::Const& m) { m.SetConstValue(at); });
    previous = twin.Make<noise::module::Select>(
        Kind::kSelect, {previous, constant, control},
        {{"lower", at - 0.002}, {"upper", at + 0.002}},
        [at](noise::module::Select& m) { m.SetBounds(at - 0.002, at + 0.002); });
  }
  return previous;
}

Twin::Pair TranslateCache16(Twin& twin) {
  Twin::Pair a = twin.Make<noise::module::Perlin>(Kind::kPerlin, {});
  for (int i = 0; i < 16; ++i) {
    const Twin::Pair c = twin.Make<noise::module::Cache>(Kind::kCache, {a});
    const Twin::Pair moved = twin.Make<noise::module::TranslatePoint>(
        Kind::kTranslatePoint, {c}, {{"x", 0.25}},
        [](noise::module::TranslatePoint& m) { m.SetXTranslation(0.25); });
    a = twin.Make<noise::module::Add>(Kind::kAdd, {moved, c});
  }
  return a;
}

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The points of a small plane map, as the map builder samples them.
struct Plane {
  std::vector<double> x, y, z;
  explicit Plane(int side) {
    for (int j = 0; j < side; ++j) {
      for (int i = 0; i < side; ++i) {
        x.push_back(maps::GridCoordinate(0.0, 2.0, static_cast<std::uint32_t>(i), side));
        y.push_back(0.0);
        z.push_back(maps::GridCoordinate(0.0, 2.0, static_cast<std::uint32_t>(j), side));
      }
    }
  }
};

// Seconds for libnoise's loop over the points, one GetValue each.
double NativeSeconds(const Module& root, const Plane& p, std::vector<double>& out) {
  const double start = Now();
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = root.GetValue(p.x[i], p.y[i], p.z[i]);
  return Now() - start;
}

// ... for the object, a map of it (whole) or calc (one point at a time).
double ObjectSeconds(const Node& root, const Plane& p, bool map, int side,
                     std::vector<double>& out) {
  const double start = Now();
  if (map) {
    maps::MapRequest r;
    r.columnTo = 2.0;
    r.rowTo = 2.0;
    r.width = static_cast<std::uint32_t>(side);
    r.height = static_cast<std::uint32_t>(side);
    std::string error;
    const maps::NodeSource<Node> source(root);
    maps::BuildMap(source, r, {}, out.data(), &error);
  } else {
    for (std::size_t i = 0; i < out.size(); ++i)
      root.GetValues(&p.x[i], &p.y[i], &p.z[i], 1, &out[i]);
  }
  return Now() - start;
}

}  // namespace

bool RunHardGraphs(int rounds, const char* only) {
  struct Subject {
    const char* name;
    Twin::Pair (*build)(Twin&);
    bool map;
    int side;
  };
  const Subject subjects[] = {
      {"shared200", Shared200, false, 16},
      {"chain900", Chain900, true, 64},
      {"select900", Select900, true, 64},
      {"translate-cache16", TranslateCache16, true, 64},
  };
  std::printf("\ngraphs-hard: one thread, us per point, medians of %d rounds\n", rounds);
  std::printf("%-18s %6s %10s %10s %14s\n", "graph", "as", "libnoise", "ours", "libnoise/ours");
  double ratios[4] = {};
  bool same = true;
  for (int k = 0; k < 4; ++k) {
    const Subject& s = subjects[k];
    if (only != nullptr && std::strcmp(only, s.name) != 0) continue;
    Twin twin;
    const Twin::Pair root = s.build(twin);
    const Plane plane(s.side);
    std::vector<double> native(plane.x.size()), ours(plane.x.size());
    std::vector<double> nativeUs, oursUs, ratio;
    const double points = static_cast<double>(plane.x.size());
    for (int round = 0; round < rounds; ++round) {
      double n = round % 2 == 0 ? NativeSeconds(*root.native, plane, native) : 0.0;
      const double o = ObjectSeconds(*root.object, plane, s.map, s.side, ours);
      if (round % 2 != 0) n = NativeSeconds(*root.native, plane, native);
      same = same && SameValues(native, ours);
      nativeUs.push_back(n * 1e6 / points);
      oursUs.push_back(o * 1e6 / points);
      ratio.push_back(n / o);
    }
    ratios[k] = Median(ratio);
    std::printf("%-18s %6s %10.2f %10.2f %13.2fx\n", s.name, s.map ? "map" : "calc",
                Median(nativeUs), Median(oursUs), ratios[k]);
  }
  std::printf(
      "\ngraphs-hard: shared200 calc native/ours %.2f; chain900 map %.2f; select900 map %.2f; "
      "translate-cache16 map %.2f\n",
      ratios[0], ratios[1], ratios[2], ratios[3]);
  if (!same) std::printf("MISMATCH: a hard graph's values differ from libnoise's\n");
  return same;
}

}  // namespace noisebind::bench
