// Gradient noise along rings: runs of points that share y (bit for bit) while
// x and z vary, as a sphere map's row of one latitude and a cylinder map's
// row of one height give them. Per octave, y's fold, cell, offsets, curve and
// its term of the hash are worked out once for the whole ring; each point
// does only what depends on x and z. Each value is still
// GradientCoherentNoise3D's: the same operations on the same operands.
#ifndef NOISEBIND_SIMD_RING_LATTICE_H
#define NOISEBIND_SIMD_RING_LATTICE_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "lattice.h"

namespace noisebind::simd::detail {

template <class B>
struct RingLattice {
  using L = Lattice<B>;
  using D = typename B::D;
  using I = typename B::I;

  static constexpr std::size_t kWidth = B::kWidth;
  // Points per pass: the arrays below stay in the first-level cache.
  static constexpr std::size_t kChunk = 256;

  // Points (x[i], y, z[i]) for i below count; count is at most kChunk.
  struct Ring {
    const double* x;
    double y;
    const double* z;
    std::size_t count;
  };

  // What one octave of a ring shares: y's offsets from the cell's two faces,
  // its curve and 1 minus it, and the hash sum's y and seed terms.
  struct Level {
    D yd0, yd1, ys, ys1;
    I hash;
  };

  template <int Q>
  static Level LevelAt(D y, I seedTerm) {
    const D ny = L::MakeInt32Range(y);
    const I y0 = L::Cell(ny);
    Level level;
    level.yd0 = B::Sub(ny, B::ToDouble(y0));
    level.yd1 = B::Sub(ny, B::ToDouble(B::AddI(y0, L::CI(1))));
    level.ys = L::template Curve<Q>(level.yd0);
    level.ys1 = B::Sub(L::C(1.0), level.ys);
    // The hash is a sum modulo 2^32: x's and z's terms can be added last.
    level.hash = B::AddI(B::MulI(y0, L::CI(L::kY)), seedTerm);
    return level;
  }

  // GradientCoherentNoise3D at the folded x and z of each lane and the
  // level's y.
  template <int Q>
  [[gnu::always_inline]] static D Coherent(D x, D z, const Level& level) {
    typename L::Offsets o;
    const I x0 = L::template Along<Q>(x, o.xd0, o.xd1, o.xs, o.xs1);
    const I z0 = L::template Along<Q>(z, o.zd0, o.zd1, o.zs, o.zs1);
    o.yd0 = level.yd0;
    o.yd1 = level.yd1;
    o.ys = level.ys;
    o.ys1 = level.ys1;
    return L::Blend(
        B::AddI(B::AddI(B::MulI(x0, L::CI(L::kX)), B::MulI(z0, L::CI(L::kZ))), level.hash), o);
  }

  // Perlin-style octaves over one ring: x, y and z scaled by `frequency`,
  // then by `lacunarity` after each octave, as libnoise does. For every
  // octave, add(i, signal) receives the gradient noise of points i .. i +
  // kWidth (i < count; lanes past count repeat the last point), then next()
  // is called.
  template <int Q, class SeedOf, class Add, class Next>
  static void Octaves(const Ring& ring, double frequency, double lacunarity, int octaves,
                      SeedOf seedOf, Add add, Next next) {
    const std::size_t padded = (ring.count + kWidth - 1) / kWidth * kWidth;
    alignas(64) double xs[kChunk], zs[kChunk];
    std::memcpy(xs, ring.x, ring.count * sizeof(double));
    std::memcpy(zs, ring.z, ring.count * sizeof(double));
    for (std::size_t i = ring.count; i < padded; ++i) {
      xs[i] = ring.x[ring.count - 1];
      zs[i] = ring.z[ring.count - 1];
    }
    const D scale = L::C(lacunarity);
    D y = B::Mul(L::C(ring.y), L::C(frequency));
    for (int octave = 0; octave < octaves; ++octave) {
      if (octave > 0) y = B::Mul(y, scale);
      const Level level = LevelAt<Q>(y, L::CI(seedOf(octave) * L::kSeed));
      const D step = octave == 0 ? L::C(frequency) : scale;
      for (std::size_t i = 0; i < padded; i += kWidth) {
        const D x = B::Mul(B::Load(xs + i), step), z = B::Mul(B::Load(zs + i), step);
        B::Store(xs + i, x);
        B::Store(zs + i, z);
        add(i, Coherent<Q>(L::MakeInt32Range(x), L::MakeInt32Range(z), level));
      }
      next();
    }
  }
};

}  // namespace noisebind::simd::detail

#endif
