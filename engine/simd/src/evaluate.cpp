#include "noisebind/simd/evaluate.h"

#include <algorithm>
#include <cstdint>

#include "dispatch.h"

namespace noisebind::simd {
namespace {

std::uint32_t Unsigned(int seed) {
  return static_cast<std::uint32_t>(seed);
}

detail::FractalParams ParamsOf(const FractalSettings& s) {
  return {s.frequency,   s.lacunarity,     s.persistence,
          s.octaveCount, Unsigned(s.seed), static_cast<int>(s.quality)};
}

// Voronoi keeps IsDistanceEnabled protected; a member pointer taken through a
// subclass reads it from any Voronoi without copying or casting the module.
struct VoronoiReader : noise::module::Voronoi {
  static bool DistanceEnabled(const noise::module::Voronoi& module) {
    return (module.*(&VoronoiReader::IsDistanceEnabled))();
  }
};

}  // namespace

FractalSettings SettingsOf(const noise::module::Perlin& m) {
  return {m.GetFrequency(),   m.GetLacunarity(), m.GetPersistence(),
          m.GetOctaveCount(), m.GetSeed(),       m.GetNoiseQuality()};
}

FractalSettings SettingsOf(const noise::module::Billow& m) {
  return {m.GetFrequency(),   m.GetLacunarity(), m.GetPersistence(),
          m.GetOctaveCount(), m.GetSeed(),       m.GetNoiseQuality()};
}

RidgedSettings SettingsOf(const noise::module::RidgedMulti& m) {
  return {m.GetFrequency(), m.GetLacunarity(), m.GetOctaveCount(), m.GetSeed(),
          m.GetNoiseQuality()};
}

VoronoiSettings SettingsOf(const noise::module::Voronoi& m) {
  return {m.GetFrequency(), m.GetDisplacement(), m.GetSeed(), VoronoiReader::DistanceEnabled(m)};
}

void EvaluatePerlin(const FractalSettings& settings, const Points& points, double* out) {
  detail::ActiveKernels().perlin(ParamsOf(settings), points, out);
}

void EvaluateBillow(const FractalSettings& settings, const Points& points, double* out) {
  detail::ActiveKernels().billow(ParamsOf(settings), points, out);
}

void EvaluateRidgedMulti(const RidgedSettings& s, const Points& points, double* out) {
  detail::RidgedParams params{s.frequency,
                              s.lacunarity,
                              std::min(s.octaveCount, detail::kMaxRidgedOctaves),
                              Unsigned(s.seed),
                              static_cast<int>(s.quality),
                              {}};
  // libnoise's CalcSpectralWeights computes pow(frequency, -1); its build
  // turned that into a division, which is what gives its bits.
  double frequency = 1.0;
  for (double& weight : params.weights) {
    weight = 1.0 / frequency;
    frequency *= s.lacunarity;
  }
  detail::ActiveKernels().ridged(params, points, out);
}

void EvaluateVoronoi(const VoronoiSettings& s, const Points& points, double* out) {
  detail::ActiveKernels().voronoi({s.frequency, s.displacement, Unsigned(s.seed), s.enableDistance},
                                  points, out);
}

void EvaluateSpheres(double frequency, const Points& points, double* out) {
  detail::ActiveKernels().spheres(frequency, points, out);
}

void EvaluateCylinders(double frequency, const Points& points, double* out) {
  detail::ActiveKernels().cylinders(frequency, points, out);
}

void EvaluateCheckerboard(const Points& points, double* out) {
  detail::ActiveKernels().checkerboard(points, out);
}

void EvaluateConst(double value, const Points& points, double* out) {
  std::fill_n(out, points.count, value);
}

void Evaluate(const noise::module::Perlin& m, const Points& points, double* out) {
  EvaluatePerlin(SettingsOf(m), points, out);
}

void Evaluate(const noise::module::Billow& m, const Points& points, double* out) {
  EvaluateBillow(SettingsOf(m), points, out);
}

void Evaluate(const noise::module::RidgedMulti& m, const Points& points, double* out) {
  EvaluateRidgedMulti(SettingsOf(m), points, out);
}

void Evaluate(const noise::module::Voronoi& m, const Points& points, double* out) {
  EvaluateVoronoi(SettingsOf(m), points, out);
}

void Evaluate(const noise::module::Spheres& m, const Points& points, double* out) {
  EvaluateSpheres(m.GetFrequency(), points, out);
}

void Evaluate(const noise::module::Cylinders& m, const Points& points, double* out) {
  EvaluateCylinders(m.GetFrequency(), points, out);
}

void Evaluate(const noise::module::Checkerboard&, const Points& points, double* out) {
  EvaluateCheckerboard(points, out);
}

void Evaluate(const noise::module::Const& m, const Points& points, double* out) {
  EvaluateConst(m.GetConstValue(), points, out);
}

}  // namespace noisebind::simd
