// noisebind_simd_bench: what the batch kernels gain over libnoise's own
// per-point GetValue on a plane map, one thread, per instruction-set path;
// then on every thread; then the graph of examples/world.lua, evaluated a
// block at a time.
//
//   noisebind_simd_bench [--rounds N] [--size N] [--only NAME] [--path NAME]
//
// The map is size x size points (1024 by default) over x and z from 0 to 8
// (step 8 / size, as a map builder lays them), y = 0, every generator at its
// default settings (6 octaves). Each round times the native loop and every
// path on the same points, in an order that turns with the round; the figures
// are medians of the rounds, the ratios medians of per-round ratios. The
// world graph (--only world) runs on size x size / 2 points of the unit
// sphere, on the path evaluations use, on one thread and on all of them.
// The lattice kernels (--only lattice, or one of them by name) run on the
// plane in map-sized blocks, along rows and along columns. --path times one
// instruction-set path only (for callgrind, which runs no AVX-512).
#include <libnoise/latlon.h>
#include <libnoise/noise.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "map_figures.h"
#include "noisebind/simd/evaluate.h"
#include "noisebind/simd/isa.h"
#include "world_graph.h"

namespace {

using noisebind::bench::Median;
using noisebind::bench::SameValues;

using noisebind::simd::Isa;
using noisebind::simd::Points;

struct Generator {
  const char* name;
  std::shared_ptr<noise::module::Module> module;
  std::function<void(const Points&, double*)> batch;
};

template <class M>
Generator Make(const char* name) {
  auto module = std::make_shared<M>();
  return {name, module,
          [module](const Points& p, double* out) { noisebind::simd::Evaluate(*module, p, out); }};
}

std::vector<Generator> Generators() {
  return {Make<noise::module::Perlin>("Perlin"),
          Make<noise::module::Billow>("Billow"),
          Make<noise::module::RidgedMulti>("RidgedMulti"),
          Make<noise::module::Voronoi>("Voronoi"),
          Make<noise::module::Spheres>("Spheres"),
          Make<noise::module::Cylinders>("Cylinders"),
          Make<noise::module::Checkerboard>("Checkerboard"),
          Make<noise::module::Const>("Const")};
}

struct Grid {
  std::size_t size;
  std::vector<double> x, zeros, z;  // one row of x; z per row
};

Grid MakeGrid(std::size_t size) {
  Grid grid{size, std::vector<double>(size), std::vector<double>(size, 0.0),
            std::vector<double>(size)};
  const double step = 8.0 / static_cast<double>(size);
  for (std::size_t i = 0; i < size; ++i) grid.x[i] = static_cast<double>(i) * step;
  for (std::size_t i = 0; i < size; ++i) grid.z[i] = static_cast<double>(i) * step;
  return grid;
}

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Native(const Generator& g, const Grid& grid, double* out) {
  for (std::size_t row = 0; row < grid.size; ++row) {
    for (std::size_t col = 0; col < grid.size; ++col) {
      out[row * grid.size + col] = g.module->GetValue(grid.x[col], 0.0, grid.z[row]);
    }
  }
}

// Rows as blocks of points: the whole row shares z.
void Batch(const Generator& g, const Grid& grid, std::vector<double>& zRow, double* out) {
  for (std::size_t row = 0; row < grid.size; ++row) {
    std::fill(zRow.begin(), zRow.end(), grid.z[row]);
    g.batch({grid.x.data(), grid.zeros.data(), zRow.data(), grid.size}, out + row * grid.size);
  }
}

// The rows split evenly over `threads` threads, each with a z row of its own.
void BatchThreads(const Generator& g, const Grid& grid, unsigned threads, double* out) {
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads; ++t) {
    const std::size_t first = grid.size * t / threads;
    const std::size_t last = grid.size * (t + 1) / threads;
    workers.emplace_back([&g, &grid, first, last, out] {
      std::vector<double> zRow(grid.size);
      for (std::size_t row = first; row < last; ++row) {
        std::fill(zRow.begin(), zRow.end(), grid.z[row]);
        g.batch({grid.x.data(), grid.zeros.data(), zRow.data(), grid.size}, out + row * grid.size);
      }
    });
  }
  for (std::thread& worker : workers) worker.join();
}

// Points of the unit sphere, row by row: `width` longitudes by width / 2
// latitudes, cell centres, as examples/world.lua samples them.
struct SphereGrid {
  std::size_t width, height;
  std::vector<double> x, y, z;
};

SphereGrid MakeSphereGrid(std::size_t width) {
  SphereGrid grid{width, std::max<std::size_t>(1, width / 2), {}, {}, {}};
  for (std::size_t row = 0; row < grid.height; ++row) {
    const double lat = 90.0 - (static_cast<double>(row) + 0.5) / grid.height * 180.0;
    for (std::size_t col = 0; col < grid.width; ++col) {
      const double lon = -180.0 + (static_cast<double>(col) + 0.5) * 360.0 / grid.width;
      double x, y, z;
      noise::LatLonToXYZ(lat, lon, x, y, z);
      grid.x.push_back(x);
      grid.y.push_back(y);
      grid.z.push_back(z);
    }
  }
  return grid;
}

// Rows first to last, in blocks of one row, as a map builder would.
void GraphRows(const noisebind::objects::Node& root, const SphereGrid& grid, std::size_t first,
               std::size_t last, double* out) {
  for (std::size_t row = first; row < last; ++row) {
    const std::size_t at = row * grid.width;
    root.GetValues(&grid.x[at], &grid.y[at], &grid.z[at], grid.width, out + at);
  }
}

// The rows split evenly over `threads` threads, each writing its own.
void GraphThreads(const noisebind::objects::Node& root, const SphereGrid& grid, unsigned threads,
                  double* out) {
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads; ++t) {
    const std::size_t first = grid.height * t / threads;
    const std::size_t last = grid.height * (t + 1) / threads;
    workers.emplace_back(
        [&root, &grid, first, last, out] { GraphRows(root, grid, first, last, out); });
  }
  for (std::thread& worker : workers) worker.join();
}

struct GraphFigures {
  double ratio = 0.0;  // native / batch on one thread
  bool same = true;
};

// The world graph: libnoise's own GetValue through the graph, point by
// point, against the batch path on one thread and on every thread.
GraphFigures BenchWorld(std::size_t width, int rounds) {
  const noisebind::bench::WorldGraph world;
  const noisebind::objects::Node& root = world.root();
  const noise::module::Module& module = root.module();
  const SphereGrid grid = MakeSphereGrid(width);
  const std::size_t count = grid.x.size();
  const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  std::vector<double> native(count), batch(count), parallel(count);
  std::vector<double> nativeNs, batchNs, parallelNs, ratios, parallelRatios;
  for (int round = 0; round < rounds; ++round) {
    const auto nativeLoop = [&] {
      for (std::size_t i = 0; i < count; ++i) {
        native[i] = module.GetValue(grid.x[i], grid.y[i], grid.z[i]);
      }
    };
    // The native loop first in even rounds, last in odd ones.
    double nativeSeconds = round % 2 == 0 ? Seconds(nativeLoop) : 0.0;
    const double batchSeconds =
        Seconds([&] { GraphRows(root, grid, 0, grid.height, batch.data()); });
    const double parallelSeconds =
        Seconds([&] { GraphThreads(root, grid, threads, parallel.data()); });
    if (round % 2 != 0) nativeSeconds = Seconds(nativeLoop);
    nativeNs.push_back(nativeSeconds * 1e9 / count);
    batchNs.push_back(batchSeconds * 1e9 / count);
    parallelNs.push_back(parallelSeconds * 1e9 / count);
    ratios.push_back(nativeSeconds / batchSeconds);
    parallelRatios.push_back(nativeSeconds / parallelSeconds);
  }
  GraphFigures figures;
  figures.ratio = Median(ratios);
  figures.same = SameValues(native, batch) && SameValues(native, parallel);
  std::printf("\nworld graph (examples/world.lua), %zu x %zu sphere, ns per point, %s path\n",
              grid.width, grid.height, noisebind::simd::IsaName(noisebind::simd::ActiveIsa()));
  std::printf("%-13s %9s %9s %9s  %9s %9s\n", "graph", "native", "batch", "threads", "x batch",
              "x threads");
  std::printf("%-13s %9.2f %9.2f %9.2f  %8.2fx %8.2fx  (%u threads)\n", "world", Median(nativeNs),
              Median(batchNs), Median(parallelNs), figures.ratio, Median(parallelRatios), threads);
  return figures;
}

// The lattice kernels (Perlin, Billow, RidgedMulti): the plane in blocks of
// 256 points, as map builders hand them over, once along its rows (y and z
// shared, so each block shares its lattice cells) and once along its
// columns (z changes from point to point: the general path), on each path.
// Under callgrind, RowBlocks and ColumnBlocks count the two apart.
constexpr std::size_t kMapBlock = 256;

[[gnu::noinline]] void RowBlocks(const Generator& g, const Grid& grid, std::vector<double>& zRow,
                                 double* out) {
  for (std::size_t row = 0; row < grid.size; ++row) {
    std::fill(zRow.begin(), zRow.end(), grid.z[row]);
    for (std::size_t first = 0; first < grid.size; first += kMapBlock) {
      const std::size_t count = std::min(kMapBlock, grid.size - first);
      g.batch({&grid.x[first], grid.zeros.data(), zRow.data(), count},
              out + row * grid.size + first);
    }
  }
}

// Values column by column: out[col * size + row].
[[gnu::noinline]] void ColumnBlocks(const Generator& g, const Grid& grid,
                                    std::vector<double>& xColumn, double* out) {
  for (std::size_t col = 0; col < grid.size; ++col) {
    std::fill(xColumn.begin(), xColumn.end(), grid.x[col]);
    for (std::size_t first = 0; first < grid.size; first += kMapBlock) {
      const std::size_t count = std::min(kMapBlock, grid.size - first);
      g.batch({xColumn.data(), grid.zeros.data(), &grid.z[first], count},
              out + col * grid.size + first);
    }
  }
}

bool SameTransposed(const std::vector<double>& rows, const std::vector<double>& columns,
                    std::size_t size) {
  std::vector<double> back(rows.size());
  for (std::size_t row = 0; row < size; ++row) {
    for (std::size_t col = 0; col < size; ++col) back[row * size + col] = columns[col * size + row];
  }
  return SameValues(rows, back);
}

struct LatticeFigures {
  double perlinRows = 0.0, perlinColumns = 0.0;  // native/rows, columns/rows
  bool same = true;
};

// `only` names one of the three, or is empty or "lattice" for all.
LatticeFigures BenchLattice(const Grid& grid, const std::vector<Isa>& paths, Isa summaryIsa,
                            int rounds, const std::string& only) {
  constexpr int kOctaves = 6;  // every one's default
  const double work = static_cast<double>(grid.size * grid.size) * kOctaves;
  std::vector<double> native(grid.size * grid.size), rows(native.size()), columns(native.size());
  std::vector<double> line(grid.size);
  LatticeFigures figures;
  std::printf(
      "\nlattice kernels, %zu x %zu plane in blocks of %zu along rows and along columns, ns per "
      "point per octave (median of %d rounds)\n",
      grid.size, grid.size, kMapBlock, rounds);
  std::printf("%-13s %-9s %9s %9s %9s  %12s %12s\n", "generator", "path", "native", "rows",
              "columns", "native/rows", "columns/rows");
  for (const Generator& g : Generators()) {
    const std::string name = g.name;
    if (name != "Perlin" && name != "Billow" && name != "RidgedMulti") continue;
    if (!only.empty() && only != "lattice" && only != name) continue;
    std::vector<double> nativeNs;
    std::vector<std::vector<double>> rowNs(paths.size()), columnNs(paths.size());
    std::vector<std::vector<double>> nativeRatios(paths.size()), columnRatios(paths.size());
    for (int round = 0; round < rounds; ++round) {
      const double nativeSeconds = Seconds([&] { Native(g, grid, native.data()); });
      nativeNs.push_back(nativeSeconds * 1e9 / work);
      for (std::size_t p = 0; p < paths.size(); ++p) {
        noisebind::simd::ForceIsa(paths[p]);
        // Rows first in even rounds, columns first in odd ones.
        double rowSeconds = 0.0, columnSeconds = 0.0;
        const auto timeRows = [&] {
          rowSeconds = Seconds([&] { RowBlocks(g, grid, line, rows.data()); });
        };
        const auto timeColumns = [&] {
          columnSeconds = Seconds([&] { ColumnBlocks(g, grid, line, columns.data()); });
        };
        if (round % 2 == 0) {
          timeRows();
          timeColumns();
        } else {
          timeColumns();
          timeRows();
        }
        figures.same =
            figures.same && SameValues(native, rows) && SameTransposed(native, columns, grid.size);
        rowNs[p].push_back(rowSeconds * 1e9 / work);
        columnNs[p].push_back(columnSeconds * 1e9 / work);
        nativeRatios[p].push_back(nativeSeconds / rowSeconds);
        columnRatios[p].push_back(columnSeconds / rowSeconds);
      }
    }
    for (std::size_t p = 0; p < paths.size(); ++p) {
      std::printf("%-13s %-9s %9.2f %9.2f %9.2f  %11.2fx %11.2fx\n", g.name,
                  noisebind::simd::IsaName(paths[p]), Median(nativeNs), Median(rowNs[p]),
                  Median(columnNs[p]), Median(nativeRatios[p]), Median(columnRatios[p]));
      if (name == "Perlin" && paths[p] == summaryIsa) {
        figures.perlinRows = Median(nativeRatios[p]);
        figures.perlinColumns = Median(columnRatios[p]);
      }
    }
  }
  noisebind::simd::ForceIsa(summaryIsa);
  std::printf("lattice: perlin6 native/rows %.2f; columns/rows %.2f (%s)\n", figures.perlinRows,
              figures.perlinColumns, noisebind::simd::IsaName(summaryIsa));
  return figures;
}

struct Options {
  int rounds = 5;
  std::size_t size = 1024;
  std::string only;
  std::string path;  // every path the processor runs when empty
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (arg == "--rounds") {
      options.rounds = std::max(1, std::atoi(value));
    } else if (arg == "--size") {
      options.size = static_cast<std::size_t>(std::max(8, std::atoi(value)));
    } else if (arg == "--only") {
      options.only = value;
    } else if (arg == "--path") {
      if (!noisebind::simd::ParseIsa(value)) return false;
      options.path = value;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: %s [--rounds N] [--size N] [--only NAME] [--path NAME]\n",
                 argv[0]);
    return 2;
  }
  std::vector<Isa> paths;
  for (Isa isa : {Isa::portable, Isa::avx2, Isa::avx512}) {
    const bool chosen = options.path.empty() || options.path == noisebind::simd::IsaName(isa);
    if (chosen && noisebind::simd::IsaSupported(isa)) paths.push_back(isa);
  }
  if (paths.empty()) {
    std::fprintf(stderr, "%s: this processor does not run the %s path\n", argv[0],
                 options.path.c_str());
    return 2;
  }
  const Grid grid = MakeGrid(options.size);
  const double points = static_cast<double>(grid.size * grid.size);
  std::vector<double> native(grid.size * grid.size), batch(native.size()), zRow(grid.size);

  // The summary's path: the one evaluations use unless forced (NOISEBIND_SIMD).
  noisebind::simd::ResetIsa();
  const Isa summaryIsa = noisebind::simd::ActiveIsa();
  const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  std::printf(
      "%zu x %zu plane, ns per point (median of %d rounds): native and each path on one thread, "
      "then the %s path on %u threads\n",
      grid.size, grid.size, options.rounds, noisebind::simd::IsaName(summaryIsa), threads);
  std::printf("%-13s %9s", "generator", "native");
  for (Isa isa : paths) std::printf(" %9s", noisebind::simd::IsaName(isa));
  std::printf(" %9s", "threads");
  for (Isa isa : paths) std::printf("  x%-8s", noisebind::simd::IsaName(isa));
  std::printf("  x%-8s\n", "threads");

  bool allSame = true;
  double perlinRatio = 0.0, voronoiRatio = 0.0;
  for (const Generator& g : Generators()) {
    if (!options.only.empty() && options.only != g.name) continue;
    std::vector<double> nativeNs, threadsNs, threadsRatios;
    std::vector<std::vector<double>> pathNs(paths.size()), ratios(paths.size());
    for (int round = 0; round < options.rounds; ++round) {
      // The native loop first in even rounds, last in odd ones.
      const bool nativeFirst = round % 2 == 0;
      double nativeSeconds = 0.0;
      if (nativeFirst) nativeSeconds = Seconds([&] { Native(g, grid, native.data()); });
      std::vector<double> pathSeconds(paths.size());
      for (std::size_t p = 0; p < paths.size(); ++p) {
        noisebind::simd::ForceIsa(paths[p]);
        pathSeconds[p] = Seconds([&] { Batch(g, grid, zRow, batch.data()); });
        allSame = allSame && SameValues(native, batch);
      }
      noisebind::simd::ForceIsa(summaryIsa);
      const double threadsSeconds = Seconds([&] { BatchThreads(g, grid, threads, batch.data()); });
      allSame = allSame && SameValues(native, batch);
      if (!nativeFirst) nativeSeconds = Seconds([&] { Native(g, grid, native.data()); });
      nativeNs.push_back(nativeSeconds * 1e9 / points);
      threadsNs.push_back(threadsSeconds * 1e9 / points);
      threadsRatios.push_back(nativeSeconds / threadsSeconds);
      for (std::size_t p = 0; p < paths.size(); ++p) {
        pathNs[p].push_back(pathSeconds[p] * 1e9 / points);
        ratios[p].push_back(nativeSeconds / pathSeconds[p]);
      }
    }
    // The first round's batch ran before any native values existed for
    // comparison in odd orders; compare once more against the final ones.
    Batch(g, grid, zRow, batch.data());
    allSame = allSame && SameValues(native, batch);
    std::printf("%-13s %9.2f", g.name, Median(nativeNs));
    for (const auto& ns : pathNs) std::printf(" %9.2f", Median(ns));
    std::printf(" %9.2f", Median(threadsNs));
    for (const auto& r : ratios) std::printf("  %8.2fx", Median(r));
    std::printf("  %8.2fx\n", Median(threadsRatios));
    for (std::size_t p = 0; p < paths.size(); ++p) {
      if (paths[p] != summaryIsa) continue;
      if (std::strcmp(g.name, "Perlin") == 0) perlinRatio = Median(ratios[p]);
      if (std::strcmp(g.name, "Voronoi") == 0) voronoiRatio = Median(ratios[p]);
    }
  }
  if (options.only.empty() || options.only == "lattice" || options.only == "Perlin" ||
      options.only == "Billow" || options.only == "RidgedMulti") {
    allSame = BenchLattice(grid, paths, summaryIsa, options.rounds, options.only).same && allSame;
  }
  noisebind::simd::ResetIsa();
  double graphRatio = 0.0;
  if (options.only.empty() || options.only == "world") {
    const GraphFigures world = BenchWorld(grid.size, options.rounds);
    graphRatio = world.ratio;
    allSame = allSame && world.same;
  }
  std::printf(
      "\nsimd: perlin6 native/batch %.2f (%s); voronoi native/batch %.2f; "
      "graph native/batch %.2f\n",
      perlinRatio, noisebind::simd::IsaName(summaryIsa), voronoiRatio, graphRatio);
  if (!allSame) {
    std::printf("MISMATCH: a batch path differs from libnoise\n");
    return 1;
  }
  return 0;
}
