// The generators under test, as rows of a table: how to build a libnoise
// module from settings, and how to evaluate it in a batch.
#ifndef NOISEBIND_TESTS_SIMD_SUBJECTS_H
#define NOISEBIND_TESTS_SIMD_SUBJECTS_H

#include <libnoise/noise.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "noisebind/simd/evaluate.h"
#include "tests/common/exact_values.h"

namespace noisebind::simd::testing {

// Every setting any generator reads; each generator takes the ones it has.
struct GeneratorSettings {
  double frequency = 1.0;
  double lacunarity = 2.0;
  double persistence = 0.5;
  int octaves = 6;  // Perlin and Billow take at least 1
  int seed = 0;
  noise::NoiseQuality quality = noise::QUALITY_STD;
  double displacement = 1.0;
  bool distance = false;
  double constant = 0.0;
};

std::string Describe(const GeneratorSettings& settings);

struct Subject {
  const char* name;
  std::unique_ptr<noise::module::Module> (*make)(const GeneratorSettings&);
  void (*batch)(const noise::module::Module&, const Points&, double*);
};

const std::vector<Subject>& Subjects();
const Subject& SubjectNamed(const std::string& name);

// Coordinates as a test draws them: mostly ordinary values at a random scale,
// sometimes one of the edge values below.
class PointSource {
 public:
  explicit PointSource(std::uint64_t seed) : rng_(seed) {}
  double Coordinate(double edgeShare);
  GeneratorSettings Settings();
  std::mt19937_64& Rng() { return rng_; }

 private:
  std::mt19937_64 rng_;
};

// Zeros, tiny and subnormal values, lattice points, the ends of libnoise's
// folding range and of int32, huge values, infinities and NaNs.
const std::vector<double>& EdgeCoordinates();

struct Cloud {
  std::vector<double> x, y, z;
  Points View() const { return {x.data(), y.data(), z.data(), x.size()}; }
};

using noisebind::testing::Bits;
using noisebind::testing::SameValue;

}  // namespace noisebind::simd::testing

#endif
