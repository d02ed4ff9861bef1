// Blocks whose points lie on rows (y and z the same, x stepping), as maps
// give them: Perlin, Billow and RidgedMulti share each lattice cell's
// gradients along such a row, and must still give GetValue's bits on every
// path, whatever the row's length, direction, cells and coordinates.
#include <cmath>
#include <limits>

#include "path_test.h"

namespace noisebind::simd::testing {
namespace {

using Rows = PathTest;

constexpr const char* kLatticeGenerators[] = {"Perlin", "Billow", "RidgedMulti"};
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void AddRow(Cloud& cloud, double from, double step, double y, double z, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    cloud.x.push_back(from + static_cast<double>(i) * step);
    cloud.y.push_back(y);
    cloud.z.push_back(z);
  }
}

Cloud Row(double from, double step, double y, double z, std::size_t count) {
  Cloud cloud;
  AddRow(cloud, from, step, y, z, count);
  return cloud;
}

// Every length from one point to a whole block and past it, with steps
// that put many points in each cell, a few, or fewer than one.
TEST_P(Rows, EveryLength) {
  const double steps[] = {1.0 / 64.0, 8.0 / 1024.0, 0.37, 1.3, 1e-9};
  PointSource source(31);
  std::vector<std::size_t> lengths;
  for (std::size_t n = 1; n <= 256; ++n) lengths.push_back(n);
  for (std::size_t n : {257, 263, 300, 511, 512, 513, 777, 1024}) lengths.push_back(n);
  for (std::size_t n : lengths) {
    const double step = steps[n % std::size(steps)];
    // Default settings mostly, random ones every few lengths.
    const GeneratorSettings settings = n % 5 == 0 ? source.Settings() : GeneratorSettings{};
    const Cloud row =
        Row(source.Coordinate(0.0), step, source.Coordinate(0.0), source.Coordinate(0.0), n);
    for (const char* name : kLatticeGenerators)
      ExpectLibraryValues(SubjectNamed(name), settings, row);
  }
}

// Rows across zero and below it, running either way, and settings that turn
// a row around (negative frequency, negative lacunarity every other octave).
TEST_P(Rows, NegativeAndDecreasing) {
  GeneratorSettings settings;
  for (double frequency : {1.0, -1.0, 2.5, -0.3}) {
    for (double lacunarity : {2.0, -2.0, 1.0, 0.5}) {
      settings.frequency = frequency;
      settings.lacunarity = lacunarity;
      settings.octaves = 8;
      for (double step : {0.05, -0.05, -0.61}) {
        const Cloud row = Row(-5.3, step, -2.75, -0.5, 211);
        for (const char* name : kLatticeGenerators) {
          ExpectLibraryValues(SubjectNamed(name), settings, row);
        }
      }
    }
  }
}

// Points on and beside cell faces: x at whole and half numbers and one ulp
// either side, y and z on faces, signed zeros and tiny values, where the
// cell below a point and the offsets from it change.
TEST_P(Rows, AtCellFaces) {
  Cloud row;
  for (double whole = -4.0; whole <= 4.0; whole += 0.5) {
    for (double x : {std::nextafter(whole, -kInf), whole, std::nextafter(whole, kInf)}) {
      row.x.push_back(x);
    }
  }
  const double faces[] = {
      0.0, -0.0, 1.0,    -1.0,   std::nextafter(1.0, 0.0), std::nextafter(-1.0, 0.0),
      2.0, 0.5,  1e-300, -1e-300};
  GeneratorSettings settings;
  settings.octaves = 3;  // lacunarity 2 keeps the faces on faces
  for (int quality = 0; quality < 3; ++quality) {
    settings.quality = static_cast<noise::NoiseQuality>(quality);
    for (double y : faces) {
      for (double z : {0.0, -0.0, -1.0, 3.0}) {
        row.y.assign(row.x.size(), y);
        row.z.assign(row.x.size(), z);
        for (const char* name : kLatticeGenerators) {
          ExpectLibraryValues(SubjectNamed(name), settings, row);
        }
      }
    }
  }
}

// Where libnoise folds coordinates into its 32-bit range (around 2^30) a
// row's cells jump; past 2^31 and at infinity or NaN its conversions clamp.
// Thirty octaves carry ordinary rows there too.
TEST_P(Rows, WhereCoordinatesFold) {
  GeneratorSettings settings;
  settings.octaves = 30;
  for (double from : {1073741824.0 - 20.0, -1073741824.0 - 20.0, 2147483647.0 - 20.0,
                      -2147483648.0 - 20.0, 1e15, -3.5e15}) {
    for (const char* name : kLatticeGenerators) {
      ExpectLibraryValues(SubjectNamed(name), settings, Row(from, 0.375, 0.5, -1.25, 160));
      ExpectLibraryValues(SubjectNamed(name), settings, Row(0.25, 0.01, from, -from, 160));
    }
  }
  Cloud odd = Row(-3.0, 0.125, 1073741823.5, 7.0, 64);
  odd.x[10] = kInf;
  odd.x[11] = -kInf;
  odd.x[30] = kNaN;
  odd.x[40] = 1e300;
  odd.x[41] = -std::numeric_limits<double>::max();
  for (const char* name : kLatticeGenerators) {
    ExpectLibraryValues(SubjectNamed(name), GeneratorSettings{}, odd);
    ExpectLibraryValues(SubjectNamed(name), settings, Row(0.0, 1.0, kInf, 0.0, 40));
    ExpectLibraryValues(SubjectNamed(name), settings, Row(0.0, 1.0, 0.0, kNaN, 40));
  }
}

// Rows with uneven steps: mostly within a cell, now and then a jump over
// one to a dozen cells, either way, or back and forth; neighbouring points
// then lie in cells far apart although the row crosses few.
TEST_P(Rows, UnevenSteps) {
  PointSource source(5);
  std::uniform_real_distribution<double> small(0.0, 0.02);
  std::uniform_int_distribution<int> jump(1, 12), chance(0, 15);
  for (double direction : {1.0, -1.0, 0.0}) {
    for (int draw = 0; draw < 8; ++draw) {
      Cloud row;
      double x = source.Coordinate(0.0);
      for (int i = 0; i < 256; ++i) {
        row.x.push_back(x);
        const double sign = direction != 0.0 ? direction : (chance(source.Rng()) < 8 ? 1.0 : -1.0);
        const double step = chance(source.Rng()) == 0 ? jump(source.Rng()) : small(source.Rng());
        x += sign * step;
      }
      row.y.assign(row.x.size(), 0.3);
      row.z.assign(row.x.size(), -7.7);
      const GeneratorSettings settings = draw == 0 ? GeneratorSettings{} : source.Settings();
      for (const char* name : kLatticeGenerators) {
        ExpectLibraryValues(SubjectNamed(name), settings, row);
      }
    }
  }
}

// Rows of every short length and scattered points mixed in one block;
// neighbouring rows that differ only in y, only in z, or in the sign of a
// zero are rows of their own.
TEST_P(Rows, RowsAndScatteredPointsInOneBlock) {
  PointSource source(77);
  Cloud block;
  for (std::size_t length = 1; length <= 12; ++length) {
    AddRow(block, -1.5, 0.1, 0.25, 3.5, length);
    AddRow(block, -1.5, 0.1, 0.25, 4.5, length);  // another z
    AddRow(block, 2.0, 0.2, -0.0, 4.5, length);
    AddRow(block, 2.0, 0.2, 0.0, 4.5, length);  // another sign of zero
    for (std::size_t k = 0; k < length % 4; ++k) {
      AddRow(block, source.Coordinate(0.1), 0.0, source.Coordinate(0.1), source.Coordinate(0.1), 1);
    }
  }
  ASSERT_GT(block.x.size(), 256u);
  for (int draw = 0; draw < 6; ++draw) {
    const GeneratorSettings settings = draw == 0 ? GeneratorSettings{} : source.Settings();
    for (const char* name : kLatticeGenerators) {
      ExpectLibraryValues(SubjectNamed(name), settings, block);
    }
  }
}

// A chunk's short rows as maps now hand them over: as many rows of the
// chunk's width as fill a block, each at its own z (a plane) or its own y
// and z (a volume), every width from 1 to 96.
TEST_P(Rows, ChunkRowsGroupedInOneBlock) {
  PointSource source(96);
  for (std::size_t width = 1; width <= 96; ++width) {
    const bool volume = width % 2 == 0;
    const double step = width % 3 == 0 ? 1.0 / 256.0 : 1.0;
    Cloud block;
    for (std::size_t row = 0; row < 256 / width; ++row) {
      const double z = 7.0 + static_cast<double>(row) * step;
      AddRow(block, -3.0, step, volume ? static_cast<double>(row % 5) * step : 0.0, z, width);
    }
    const GeneratorSettings settings = width % 7 == 0 ? source.Settings() : GeneratorSettings{};
    for (const char* name : kLatticeGenerators) {
      ExpectLibraryValues(SubjectNamed(name), settings, block);
    }
  }
}

// Random settings on map-like rows: the kind of block every plane map,
// volume and grid hands over.
TEST_P(Rows, RandomSettingsOnMapRows) {
  PointSource source(424242);
  for (int draw = 0; draw < 40; ++draw) {
    const GeneratorSettings settings = source.Settings();
    const std::size_t width = std::uniform_int_distribution<std::size_t>(1, 600)(source.Rng());
    const double from = source.Coordinate(0.05), to = source.Coordinate(0.05);
    const double step = (to - from) / static_cast<double>(width);
    const Cloud row = Row(from, step, source.Coordinate(0.05), source.Coordinate(0.05), width);
    for (const char* name : kLatticeGenerators)
      ExpectLibraryValues(SubjectNamed(name), settings, row);
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, Rows, ::testing::Values(Isa::portable, Isa::avx2, Isa::avx512),
                         PathName);

}  // namespace
}  // namespace noisebind::simd::testing
