#include "subjects.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

namespace noisebind::simd::testing {
namespace {

template <class M>
void BatchOf(const noise::module::Module& module, const Points& points, double* out) {
  Evaluate(static_cast<const M&>(module), points, out);
}

int FractalOctaves(int octaves) {
  return std::clamp(octaves, 1, 30);
}

template <class M>
std::unique_ptr<noise::module::Module> MakeFractal(const GeneratorSettings& s) {
  auto m = std::make_unique<M>();
  m->SetFrequency(s.frequency);
  m->SetLacunarity(s.lacunarity);
  m->SetPersistence(s.persistence);
  m->SetOctaveCount(FractalOctaves(s.octaves));
  m->SetSeed(s.seed);
  m->SetNoiseQuality(s.quality);
  return m;
}

std::unique_ptr<noise::module::Module> MakeRidged(const GeneratorSettings& s) {
  auto m = std::make_unique<noise::module::RidgedMulti>();
  m->SetFrequency(s.frequency);
  m->SetLacunarity(s.lacunarity);
  m->SetOctaveCount(std::min(s.octaves, 30));
  m->SetSeed(s.seed);
  m->SetNoiseQuality(s.quality);
  return m;
}

std::unique_ptr<noise::module::Module> MakeVoronoi(const GeneratorSettings& s) {
  auto m = std::make_unique<noise::module::Voronoi>();
  m->SetFrequency(s.frequency);
  m->SetDisplacement(s.displacement);
  m->SetSeed(s.seed);
  m->EnableDistance(s.distance);
  return m;
}

template <class M>
std::unique_ptr<noise::module::Module> MakeShells(const GeneratorSettings& s) {
  auto m = std::make_unique<M>();
  m->SetFrequency(s.frequency);
  return m;
}

std::unique_ptr<noise::module::Module> MakeCheckerboard(const GeneratorSettings&) {
  return std::make_unique<noise::module::Checkerboard>();
}

std::unique_ptr<noise::module::Module> MakeConst(const GeneratorSettings& s) {
  auto m = std::make_unique<noise::module::Const>();
  m->SetConstValue(s.constant);
  return m;
}

double Pick(std::mt19937_64& rng, const std::vector<double>& values) {
  return values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(rng)];
}

}  // namespace

std::string Describe(const GeneratorSettings& s) {
  std::ostringstream text;
  text.precision(17);
  text << "frequency " << s.frequency << ", lacunarity " << s.lacunarity << ", persistence "
       << s.persistence << ", octaves " << s.octaves << ", seed " << s.seed << ", quality "
       << s.quality << ", displacement " << s.displacement << ", distance " << s.distance
       << ", constant " << s.constant;
  return text.str();
}

const std::vector<Subject>& Subjects() {
  static const std::vector<Subject> subjects = {
      {"Perlin", &MakeFractal<noise::module::Perlin>, &BatchOf<noise::module::Perlin>},
      {"Billow", &MakeFractal<noise::module::Billow>, &BatchOf<noise::module::Billow>},
      {"RidgedMulti", &MakeRidged, &BatchOf<noise::module::RidgedMulti>},
      {"Voronoi", &MakeVoronoi, &BatchOf<noise::module::Voronoi>},
      {"Spheres", &MakeShells<noise::module::Spheres>, &BatchOf<noise::module::Spheres>},
      {"Cylinders", &MakeShells<noise::module::Cylinders>, &BatchOf<noise::module::Cylinders>},
      {"Checkerboard", &MakeCheckerboard, &BatchOf<noise::module::Checkerboard>},
      {"Const", &MakeConst, &BatchOf<noise::module::Const>},
  };
  return subjects;
}

const Subject& SubjectNamed(const std::string& name) {
  const auto& subjects = Subjects();
  return *std::find_if(subjects.begin(), subjects.end(),
                       [&name](const Subject& s) { return name == s.name; });
}

const std::vector<double>& EdgeCoordinates() {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  static const std::vector<double> values = {0.0,
                                             -0.0,
                                             1.0,
                                             -1.0,
                                             2.0,
                                             -2.0,
                                             0.5,
                                             -0.5,
                                             1e-300,
                                             -1e-300,
                                             std::numeric_limits<double>::denorm_min(),
                                             -std::numeric_limits<double>::denorm_min(),
                                             std::nextafter(1.0, 0.0),
                                             std::nextafter(-1.0, 0.0),
                                             1073741823.75,
                                             1073741824.0,
                                             -1073741824.0,
                                             1073741824.5,
                                             -1073741825.25,
                                             std::nextafter(1073741824.0, 0.0),
                                             std::nextafter(-1073741824.0, 0.0),
                                             2147483647.0,
                                             2147483647.5,
                                             2147483648.0,
                                             2147483650.5,
                                             -2147483648.0,
                                             -2147483648.5,
                                             -2147483649.0,
                                             -2147483651.5,
                                             4294967296.0,
                                             1e10,
                                             -1e10,
                                             3.5e15,
                                             4503599627370496.5,
                                             -9007199254740993.0,
                                             1e300,
                                             -1e300,
                                             std::numeric_limits<double>::max(),
                                             -std::numeric_limits<double>::max(),
                                             kInf,
                                             -kInf,
                                             kNaN,
                                             -kNaN};
  return values;
}

double PointSource::Coordinate(double edgeShare) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  if (unit(rng_) < edgeShare) return Pick(rng_, EdgeCoordinates());
  static const std::vector<double> scales = {1.0, 8.0, 100.0, 1e4, 1e7};
  const double scale = Pick(rng_, scales);
  return std::uniform_real_distribution<double>(-scale, scale)(rng_);
}

GeneratorSettings PointSource::Settings() {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  GeneratorSettings s;
  // Ordinary values most of the time, extremes some of the time.
  s.frequency = unit(rng_) < 0.8 ? std::uniform_real_distribution<double>(0.01, 16.0)(rng_)
                                 : Pick(rng_, {0.0, -3.25, 1e-12, 1e9, 1e200});
  s.lacunarity = unit(rng_) < 0.8 ? std::uniform_real_distribution<double>(1.0, 4.0)(rng_)
                                  : Pick(rng_, {0.0, -2.0, 0.5, 1e3, 1e100});
  s.persistence = unit(rng_) < 0.8 ? std::uniform_real_distribution<double>(0.0, 1.0)(rng_)
                                   : Pick(rng_, {0.0, -0.75, 2.0, 1e10});
  // Mostly the octave counts maps use; 30 often enough to matter.
  s.octaves = unit(rng_) < 0.15 ? 30 : std::uniform_int_distribution<int>(1, 10)(rng_);
  s.seed = unit(rng_) < 0.2
               ? static_cast<int>(Pick(rng_, {-2147483648.0, 2147483647.0, 2147483618.0, -1.0}))
               : std::uniform_int_distribution<int>()(rng_);
  s.quality = static_cast<noise::NoiseQuality>(std::uniform_int_distribution<int>(0, 2)(rng_));
  s.displacement = unit(rng_) < 0.8 ? std::uniform_real_distribution<double>(-2.0, 2.0)(rng_)
                                    : Pick(rng_, {0.0, 1e300});
  s.distance = unit(rng_) < 0.5;
  s.constant = std::uniform_real_distribution<double>(-1e6, 1e6)(rng_);
  return s;
}

}  // namespace noisebind::simd::testing
