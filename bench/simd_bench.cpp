// noisebind_simd_bench: what the batch kernels gain over libnoise's own
// per-point GetValue on a plane map, one thread, per instruction-set path.
//
//   noisebind_simd_bench [--rounds N] [--size N] [--only NAME]
//
// The map is size x size points (1024 by default) over x and z from 0 to 8
// (step 8 / size, as a map builder lays them), y = 0, every generator at its
// default settings (6 octaves). Each round times the native loop and every
// path on the same points, in an order that turns with the round; the figures
// are medians of the rounds, the ratios medians of per-round ratios.
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
#include <vector>

#include "noisebind/simd/evaluate.h"
#include "noisebind/simd/isa.h"

namespace {

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

bool SameValues(const std::vector<double>& a, const std::vector<double>& b) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::isnan(a[i]) ? !std::isnan(b[i]) : std::memcmp(&a[i], &b[i], sizeof(double)) != 0) {
      return false;
    }
  }
  return true;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

struct Options {
  int rounds = 5;
  std::size_t size = 1024;
  std::string only;
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
    std::fprintf(stderr, "usage: %s [--rounds N] [--size N] [--only NAME]\n", argv[0]);
    return 2;
  }
  std::vector<Isa> paths;
  for (Isa isa : {Isa::portable, Isa::avx2, Isa::avx512}) {
    if (noisebind::simd::IsaSupported(isa)) paths.push_back(isa);
  }
  const Grid grid = MakeGrid(options.size);
  const double points = static_cast<double>(grid.size * grid.size);
  std::vector<double> native(grid.size * grid.size), batch(native.size()), zRow(grid.size);

  std::printf("%zu x %zu plane, ns per point (median of %d rounds), one thread\n", grid.size,
              grid.size, options.rounds);
  std::printf("%-13s %9s", "generator", "native");
  for (Isa isa : paths) std::printf(" %9s", noisebind::simd::IsaName(isa));
  for (Isa isa : paths) std::printf("  x%-8s", noisebind::simd::IsaName(isa));
  std::printf("\n");

  bool allSame = true;
  for (const Generator& g : Generators()) {
    if (!options.only.empty() && options.only != g.name) continue;
    std::vector<double> nativeNs;
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
      if (!nativeFirst) nativeSeconds = Seconds([&] { Native(g, grid, native.data()); });
      nativeNs.push_back(nativeSeconds * 1e9 / points);
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
    for (const auto& r : ratios) std::printf("  %8.2fx", Median(r));
    std::printf("\n");
  }
  noisebind::simd::ResetIsa();
  if (!allSame) {
    std::printf("MISMATCH: a batch path differs from libnoise\n");
    return 1;
  }
  return 0;
}
