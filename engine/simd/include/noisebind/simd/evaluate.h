// Batch evaluation of libnoise's generators: blocks of points at a time, each
// value bit for bit what the module's own GetValue returns for that point.
//
// Every function here is pure: it reads its arguments and writes `out`, and
// shares no mutable state, so any number of threads may call it at once (on
// distinct output arrays). Blocks of any size work; sizes that are multiples
// of 8 waste nothing.
#ifndef NOISEBIND_SIMD_EVALUATE_H
#define NOISEBIND_SIMD_EVALUATE_H

#include <libnoise/noise.h>

#include "noisebind/simd/points.h"

namespace noisebind::simd {

// The settings each generator reads, as plain values; the overloads taking a
// libnoise module read them through its public getters. Defaults are
// libnoise's.
struct FractalSettings {  // Perlin and Billow
  double frequency = noise::module::DEFAULT_PERLIN_FREQUENCY;
  double lacunarity = noise::module::DEFAULT_PERLIN_LACUNARITY;
  double persistence = noise::module::DEFAULT_PERLIN_PERSISTENCE;
  int octaveCount = noise::module::DEFAULT_PERLIN_OCTAVE_COUNT;
  int seed = noise::module::DEFAULT_PERLIN_SEED;
  noise::NoiseQuality quality = noise::module::DEFAULT_PERLIN_QUALITY;
};

struct RidgedSettings {
  double frequency = noise::module::DEFAULT_RIDGED_FREQUENCY;
  double lacunarity = noise::module::DEFAULT_RIDGED_LACUNARITY;
  int octaveCount = noise::module::DEFAULT_RIDGED_OCTAVE_COUNT;  // 0 or less gives -1; above 30, 30
  int seed = noise::module::DEFAULT_RIDGED_SEED;
  noise::NoiseQuality quality = noise::module::DEFAULT_RIDGED_QUALITY;
};

struct VoronoiSettings {
  double frequency = noise::module::DEFAULT_VORONOI_FREQUENCY;
  double displacement = noise::module::DEFAULT_VORONOI_DISPLACEMENT;
  int seed = noise::module::DEFAULT_VORONOI_SEED;
  bool enableDistance = false;
};

FractalSettings SettingsOf(const noise::module::Perlin& module);
FractalSettings SettingsOf(const noise::module::Billow& module);
RidgedSettings SettingsOf(const noise::module::RidgedMulti& module);
VoronoiSettings SettingsOf(const noise::module::Voronoi& module);

// Fill out[0 .. points.count) with the generator's value at each point.
void EvaluatePerlin(const FractalSettings& settings, const Points& points, double* out);
void EvaluateBillow(const FractalSettings& settings, const Points& points, double* out);
void EvaluateRidgedMulti(const RidgedSettings& settings, const Points& points, double* out);
void EvaluateVoronoi(const VoronoiSettings& settings, const Points& points, double* out);
void EvaluateSpheres(double frequency, const Points& points, double* out);
void EvaluateCylinders(double frequency, const Points& points, double* out);  // ignores y
void EvaluateCheckerboard(const Points& points, double* out);
void EvaluateConst(double value, const Points& points, double* out);

// The same, reading the settings from a libnoise module.
void Evaluate(const noise::module::Perlin& module, const Points& points, double* out);
void Evaluate(const noise::module::Billow& module, const Points& points, double* out);
void Evaluate(const noise::module::RidgedMulti& module, const Points& points, double* out);
void Evaluate(const noise::module::Voronoi& module, const Points& points, double* out);
void Evaluate(const noise::module::Spheres& module, const Points& points, double* out);
void Evaluate(const noise::module::Cylinders& module, const Points& points, double* out);
void Evaluate(const noise::module::Checkerboard& module, const Points& points, double* out);
void Evaluate(const noise::module::Const& module, const Points& points, double* out);

}  // namespace noisebind::simd

#endif
