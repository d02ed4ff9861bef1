// Every batch value equals libnoise's GetValue bit for bit, on every path.
#include <cmath>
#include <limits>

#include "path_test.h"

namespace noisebind::simd::testing {
namespace {

using Exactness = PathTest;

Cloud DrawCloud(PointSource& source, std::size_t count, double edgeShare) {
  Cloud cloud;
  for (std::size_t i = 0; i < count; ++i) {
    cloud.x.push_back(source.Coordinate(edgeShare));
    cloud.y.push_back(source.Coordinate(edgeShare));
    cloud.z.push_back(source.Coordinate(edgeShare));
  }
  return cloud;
}

// Over a million values: random settings, mostly ordinary points with a few
// edge coordinates mixed in, block sizes of every remainder.
TEST_P(Exactness, RandomSettingsAndPoints) {
  constexpr int kSettingsPerSubject = 48;
  PointSource source(20240611);
  std::size_t compared = 0;
  for (const Subject& subject : Subjects()) {
    for (int draw = 0; draw < kSettingsPerSubject; ++draw) {
      const GeneratorSettings settings = source.Settings();
      const std::size_t count =
          2700 + std::uniform_int_distribution<std::size_t>(0, 15)(source.Rng());
      ExpectLibraryValues(subject, settings, DrawCloud(source, count, 0.05));
      compared += count;
    }
  }
  EXPECT_GT(compared, 1000000u);
}

// Settings at their extremes, each against points made mostly of edge
// coordinates.
TEST_P(Exactness, EdgeSettings) {
  constexpr int kMin = std::numeric_limits<int>::min();
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const auto fast = noise::QUALITY_FAST, best = noise::QUALITY_BEST;
  // frequency, lacunarity, persistence, octaves, seed, quality, displacement, distance
  const GeneratorSettings rows[] = {
      {1.0, 2.0, 0.5, 6, 0, noise::QUALITY_STD, 1.0, false},
      {1.0, 2.0, 0.5, 1, kMin, fast, 1.0, true},
      {1.0, 2.0, 0.5, 30, kMax, best, -1.0, true},
      {3.0, 2.5, 0.75, 30, kMax - 5, fast, 0.5, false},  // octave seeds wrap past INT32_MAX
      {0.37, 1.9, 0.6, 30, kMin, noise::QUALITY_STD, 2.0, true},
      {1e-9, 1e3, 2.0, 30, 7, best, 0.0, true},
      {1e9, 3.0, 0.5, 12, -7, fast, 1.0, false},
      {-2.0, -2.0, -0.5, 8, 123, best, 1.0, true},
      {0.0, 0.0, 0.0, 3, 1, noise::QUALITY_STD, 1.0, true},
      {1e300, 2.0, 0.5, 4, 2, fast, 1.0, true},
      {kInf, 2.0, 0.5, 2, 3, best, kInf, true},
      {kNaN, kNaN, kNaN, 2, 4, noise::QUALITY_STD, kNaN, true},
      {1.0, 2.0, 0.5, 0, 5, noise::QUALITY_STD, 1.0, false},  // RidgedMulti takes 0 octaves
      {1.0, 2.0, 0.5, -4, 6, best, 1.0, false},
      // A quality outside the three named ones (libnoise leaves the curve at 0).
      {1.0, 2.0, 0.5, 6, 8, static_cast<noise::NoiseQuality>(3), 1.0, false},
  };
  PointSource source(7);
  for (const GeneratorSettings& settings : rows) {
    for (const Subject& subject : Subjects()) {
      ExpectLibraryValues(subject, settings, DrawCloud(source, 1500, 0.6));
    }
  }
}

// Near the ends of int32, Voronoi's cells wrap around and a seed point can
// still lie close: the nearest cell must be the library's.
TEST_P(Exactness, VoronoiAroundTheEndsOfInt32) {
  PointSource source(99);
  Cloud cloud;
  std::uniform_real_distribution<double> near(-40.0, 40.0);
  for (double end : {2147483647.0, -2147483648.0}) {
    for (int i = 0; i < 2000; ++i) {
      cloud.x.push_back(end + near(source.Rng()));
      cloud.y.push_back(i % 2 ? end + near(source.Rng()) : near(source.Rng()));
      cloud.z.push_back(near(source.Rng()));
    }
  }
  for (bool distance : {false, true}) {
    GeneratorSettings settings;
    settings.distance = distance;
    ExpectLibraryValues(SubjectNamed("Voronoi"), settings, cloud);
  }
}

// Floor and truncation are built from additions on the portable path: whole
// and half numbers, their neighbours, and magnitudes up to where every double
// is whole, with both signs, through every generator that rounds.
TEST_P(Exactness, AroundRoundingBoundaries) {
  Cloud cloud;
  for (double whole : {0.0, 1.0, 2.0, 3.0, 1e6, 1073741823.0, 2147483647.0, 4503599627370495.0,
                       4503599627370496.0, 9007199254740992.0}) {
    for (double offset : {0.0, 0.25, 0.5, 0.75}) {
      const double base = whole + offset;
      for (double value : {base, std::nextafter(base, 0.0), std::nextafter(base, HUGE_VAL)}) {
        for (double sign : {1.0, -1.0}) {
          cloud.x.push_back(sign * value);
          cloud.y.push_back(0.0);
          cloud.z.push_back(offset);
        }
      }
    }
  }
  for (const char* name : {"Perlin", "Voronoi", "Spheres", "Cylinders", "Checkerboard"}) {
    for (double frequency : {1.0, 0.5, 3.0}) {
      GeneratorSettings settings;
      settings.frequency = frequency;
      ExpectLibraryValues(SubjectNamed(name), settings, cloud);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, Exactness, ::testing::Values(Isa::portable, Isa::avx2, Isa::avx512),
                         PathName);

}  // namespace
}  // namespace noisebind::simd::testing
