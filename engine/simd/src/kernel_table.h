// What each instruction-set path provides: one function per generator, over
// plain parameters. The kernel files include no libnoise header, so that no
// inline function of libnoise is compiled with another instruction set and
// then shared with the portable code through the linker.
#ifndef NOISEBIND_SIMD_KERNEL_TABLE_H
#define NOISEBIND_SIMD_KERNEL_TABLE_H

#include <cstdint>

#include "noisebind/simd/points.h"

namespace noisebind::simd::detail {

constexpr int kMaxRidgedOctaves = 30;

// Quality codes as libnoise numbers them; any other makes the S-curve 0.
enum Quality : int { kFast = 0, kStandard = 1, kBest = 2 };

// Seeds are unsigned: libnoise adds octave numbers to them in int and relies
// on the addition wrapping.
struct FractalParams {
  double frequency;
  double lacunarity;
  double persistence;
  int octaves;
  std::uint32_t seed;
  int quality;
};

struct RidgedParams {
  double frequency;
  double lacunarity;
  int octaves;  // at most kMaxRidgedOctaves
  std::uint32_t seed;
  int quality;
  double weights[kMaxRidgedOctaves];
};

struct VoronoiParams {
  double frequency;
  double displacement;
  std::uint32_t seed;
  bool distance;
};

struct KernelTable {
  void (*perlin)(const FractalParams&, const Points&, double*);
  void (*billow)(const FractalParams&, const Points&, double*);
  void (*ridged)(const RidgedParams&, const Points&, double*);
  void (*voronoi)(const VoronoiParams&, const Points&, double*);
  void (*spheres)(double frequency, const Points&, double*);
  void (*cylinders)(double frequency, const Points&, double*);
  void (*checkerboard)(const Points&, double*);
};

extern const KernelTable kPortableKernels;
#if defined(__x86_64__)
extern const KernelTable kAvx2Kernels;
extern const KernelTable kAvx512Kernels;
#endif

}  // namespace noisebind::simd::detail

#endif
