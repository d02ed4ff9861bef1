// noisebind_graphs_bench: whole graphs mapped on one thread, libnoise's own
// GetValue point by point against our map of the same graph as noise
// objects (evaluated a block at a time), at the very points the map
// builder samples:
//   planet  the graph of examples/planet_big.lua (bench/planet_recipe.h),
//           libnoise's with its Cache modules; a sphere map
//   world   the graph of examples/world.lua (bench/world_graph.cpp); a
//           sphere map
//   plane   a 6-octave Perlin object; a 1024 x 1024 plane map over 4 units
//
//   noisebind_graphs_bench [--rounds N] [--width N] [--only NAME]
//
// Sphere maps are width x width / 2 (512 by default). Each round maps every
// subject both ways, the native map first in even rounds and last in odd
// ones; figures are medians of the rounds, ratios medians of per-round
// ratios. Every round checks that both maps hold the same doubles.
#include <libnoise/module/perlin.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/maps/map_builder.h"
#include "engine/maps/node_source.h"
#include "hard_graphs.h"
#include "map_figures.h"
#include "noisebind/simd/isa.h"
#include "planet_graph.h"
#include "world_graph.h"

namespace {

using noisebind::bench::Median;
using noisebind::bench::SameValues;

using noisebind::maps::MapRequest;
using noisebind::maps::PointSource;

// libnoise's loop: one GetValue per point.
class ModuleSource final : public PointSource {
 public:
  explicit ModuleSource(const noise::module::Module& module) : m_module(module) {}
  bool Values(Workspace*, const double* x, const double* y, const double* z, std::size_t count,
              double* out, std::string*) const override {
    for (std::size_t i = 0; i < count; ++i) out[i] = m_module.GetValue(x[i], y[i], z[i]);
    return true;
  }

 private:
  const noise::module::Module& m_module;
};

using ObjectSource = noisebind::maps::NodeSource<noisebind::objects::Node>;

struct Subject {
  const char* name;
  const PointSource& native;
  const PointSource& batch;
  MapRequest request;
};

double Seconds(const PointSource& source, const MapRequest& request, std::vector<double>& out) {
  std::string error;
  const auto start = std::chrono::steady_clock::now();
  const bool ok = noisebind::maps::BuildMap(source, request, {}, out.data(), &error);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!ok) throw std::runtime_error(error);
  return seconds;
}

struct Figures {
  double nativeNs = 0.0, batchNs = 0.0, ratio = 0.0;
  bool same = true;
};

Figures Measure(const Subject& subject, int rounds) {
  const MapRequest& r = subject.request;
  const std::size_t points = std::size_t{r.width} * r.height;
  std::vector<double> native(points), batch(points);
  std::vector<double> nativeNs, batchNs, ratios;
  Figures figures;
  for (int round = 0; round < rounds; ++round) {
    double nativeSeconds = round % 2 == 0 ? Seconds(subject.native, r, native) : 0.0;
    const double batchSeconds = Seconds(subject.batch, r, batch);
    if (round % 2 != 0) nativeSeconds = Seconds(subject.native, r, native);
    figures.same = figures.same && SameValues(native, batch);
    nativeNs.push_back(nativeSeconds * 1e9 / static_cast<double>(points));
    batchNs.push_back(batchSeconds * 1e9 / static_cast<double>(points));
    ratios.push_back(nativeSeconds / batchSeconds);
  }
  figures.nativeNs = Median(nativeNs);
  figures.batchNs = Median(batchNs);
  figures.ratio = Median(ratios);
  return figures;
}

MapRequest Sphere(std::uint32_t width) {
  MapRequest r;
  r.projection = noisebind::maps::Projection::kSphere;
  r.rowFrom = -90;
  r.rowTo = 90;
  r.columnFrom = -180;
  r.columnTo = 180;
  r.width = width;
  r.height = std::max<std::uint32_t>(1, width / 2);
  r.flip = true;
  return r;
}

MapRequest Plane() {
  MapRequest r;
  r.columnTo = 4;
  r.rowTo = 4;
  r.width = 1024;
  r.height = 1024;
  return r;
}

struct Options {
  int rounds = 5;
  std::uint32_t width = 512;
  std::string only;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    // strtol saturates where atoi's overflow is undefined.
    const long value = std::strtol(argv[i + 1], nullptr, 10);
    if (arg == "--rounds") {
      options.rounds = static_cast<int>(std::clamp(value, 1L, 1000L));
    } else if (arg == "--width") {
      options.width = static_cast<std::uint32_t>(std::clamp(value, 2L, 16384L));
    } else if (arg == "--only") {
      options.only = argv[i + 1];
    } else {
      return false;
    }
  }
  return argc % 2 == 1;
}

int Run(const Options& options) {
  const noisebind::bench::NativePlanet nativePlanet;
  const noisebind::bench::ObjectPlanet objectPlanet;
  const noisebind::bench::WorldGraph world;
  const noise::module::Perlin perlin;
  noisebind::bench::ObjectGraph plane;
  const noisebind::objects::Node& perlinObject = plane.Make(noisebind::objects::Kind::kPerlin, {});

  const ModuleSource planetNative(nativePlanet.root()), worldNative(world.root().module()),
      planeNative(perlin);
  const ObjectSource planetBatch(objectPlanet.root()), worldBatch(world.root()),
      planeBatch(perlinObject);
  const Subject subjects[] = {
      {"planet", planetNative, planetBatch, Sphere(options.width)},
      {"world", worldNative, worldBatch, Sphere(options.width)},
      {"plane", planeNative, planeBatch, Plane()},
  };

  const char* isa = noisebind::simd::IsaName(noisebind::simd::ActiveIsa());
  std::printf(
      "graphs: one thread, ns per point, medians of %d rounds, %s path (planet: %zu modules, %zu "
      "of them Cache; %zu noise objects)\n",
      options.rounds, isa, nativePlanet.ModuleCount(), nativePlanet.CacheCount(),
      objectPlanet.NodeCount());
  std::printf("%-8s %13s %10s %10s %9s\n", "graph", "map", "native", "batch", "x batch");
  Figures figures[3];
  bool same = true;
  for (int k = 0; k < 3; ++k) {
    const Subject& s = subjects[k];
    if (!options.only.empty() && options.only != s.name) continue;
    figures[k] = Measure(s, options.rounds);
    same = same && figures[k].same;
    const std::string size =
        std::to_string(s.request.width) + " x " + std::to_string(s.request.height);
    std::printf("%-8s %13s %10.1f %10.1f %8.2fx\n", s.name, size.c_str(), figures[k].nativeNs,
                figures[k].batchNs, figures[k].ratio);
  }
  std::printf(
      "\ngraphs: planet native/batch %.2f; world native/batch %.2f; plane perlin6 "
      "native/batch %.2f (%s)\n",
      figures[0].ratio, figures[1].ratio, figures[2].ratio, isa);
  if (!same) {
    std::printf("MISMATCH: a map of noise objects differs from libnoise's values\n");
    return 1;
  }
  // --only hard: these alone; --only hard:chain900: that one alone.
  if (options.only.empty() || options.only.rfind("hard", 0) == 0) {
    const char* one = options.only.size() > 5 ? options.only.c_str() + 5 : nullptr;
    if (!noisebind::bench::RunHardGraphs(options.rounds, one)) return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: %s [--rounds N] [--width N] [--only NAME]\n", argv[0]);
    return 2;
  }
  try {
    return Run(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "noisebind_graphs_bench: %s\n", e.what());
    return 1;
  }
}
