// The generators' arithmetic, written once over a backend B that evaluates
// B::kWidth points at a time. Each step repeats libnoise's own operations in
// libnoise's order (its build contracts nothing into fused multiply-adds, and
// neither do ours), so every path gives libnoise's bits.
//
// Included by one file per instruction set; everything here is a template of
// the backend, so each path gets its own symbols.
#ifndef NOISEBIND_SIMD_KERNELS_H
#define NOISEBIND_SIMD_KERNELS_H

#include <cstddef>
#include <cstdint>

#include "kernel_table.h"
#include "lattice.h"
#include "ring_lattice.h"
#include "row_lattice.h"

namespace noisebind::simd::detail {

template <class B>
struct Kernels {
  using D = typename B::D;
  using I = typename B::I;
  using M = typename B::M;

  using L = Lattice<B>;
  using R = RowLattice<B>;
  using G = RingLattice<B>;
  static constexpr std::uint32_t kX = L::kX, kY = L::kY, kZ = L::kZ, kSeed = L::kSeed;

  static D C(double v) { return B::Set(v); }
  static I CI(std::uint32_t v) { return B::SetI(v); }
  static D MakeInt32Range(D n) { return L::MakeInt32Range(n); }
  static I Cell(D v) { return L::Cell(v); }

  // Runs f on every block of kWidth points; the last, partial block goes
  // through a zero-padded copy so that nothing reads or writes past the ends.
  template <class F>
  static void ForEachBlock(const Points& points, double* out, F f) {
    constexpr std::size_t kWidth = B::kWidth;
    std::size_t i = 0;
    for (; points.count - i >= kWidth; i += kWidth) {
      B::Store(out + i, f(B::Load(points.x + i), B::Load(points.y + i), B::Load(points.z + i)));
    }
    if (i == points.count) return;
    double x[kWidth] = {}, y[kWidth] = {}, z[kWidth] = {}, value[kWidth];
    const std::size_t rest = points.count - i;
    for (std::size_t k = 0; k < rest; ++k) {
      x[k] = points.x[i + k];
      y[k] = points.y[i + k];
      z[k] = points.z[i + k];
    }
    B::Store(value, f(B::Load(x), B::Load(y), B::Load(z)));
    for (std::size_t k = 0; k < rest; ++k) out[i + k] = value[k];
  }

  // ValueNoise3D of the cell whose hash sum (seed term included) is `sum`.
  // Debian's IntValueNoise3D keeps all 32 bits of its last step, signed.
  static D ValueNoise(I sum) {
    I n = B::AndI(sum, CI(0x7fffffff));
    n = B::XorI(B::template ShiftRightI<13>(n), n);
    const I inner = B::AddI(B::MulI(B::MulI(n, n), CI(60493)), CI(19990303));
    const I r = B::AddI(B::MulI(n, inner), CI(1376312589));
    return B::Sub(C(1.0), B::Mul(B::ToDouble(r), C(1.0 / 1073741824.0)));
  }

  // One octave of Perlin (Billow when kBillow), its seed, and the end.
  static std::uint32_t FractalSeed(const FractalParams& p, int octave) {
    return p.seed + static_cast<std::uint32_t>(octave);
  }
  template <bool kBillow>
  static D FractalOctave(D value, D signal, double persistence) {
    if constexpr (kBillow) signal = B::Sub(B::Mul(C(2.0), B::Abs(signal)), C(1.0));
    return B::Add(value, B::Mul(signal, C(persistence)));
  }
  template <bool kBillow>
  static D FractalEnd(D value) {
    if constexpr (kBillow) return B::Add(value, C(0.5));
    return value;
  }

  // The same for RidgedMulti (offset 1, gain 2), whose weight carries over.
  static std::uint32_t RidgedSeed(const RidgedParams& p, int octave) {
    return (p.seed + static_cast<std::uint32_t>(octave)) & 0x7fffffffu;
  }
  static D RidgedOctave(D value, D signal, D& weight, double spectralWeight) {
    const D zero = C(0.0), one = C(1.0);
    signal = B::Sub(one, B::Abs(signal));
    signal = B::Mul(signal, signal);
    signal = B::Mul(signal, weight);
    weight = B::Mul(signal, C(2.0));
    weight = B::Select(B::Gt(weight, one), one, weight);
    weight = B::Select(B::Lt(weight, zero), zero, weight);
    return B::Add(value, B::Mul(signal, C(spectralWeight)));
  }
  static D RidgedEnd(D value) { return B::Sub(B::Mul(value, C(1.25)), C(1.0)); }

  // Perlin or Billow at any points, octave by octave for each vector.
  template <bool kBillow, int Q>
  static void FractalScattered(const FractalParams& p, const Points& points, double* out) {
    ForEachBlock(points, out, [&p](D x, D y, D z) {
      const D frequency = C(p.frequency), lacunarity = C(p.lacunarity);
      x = B::Mul(x, frequency);
      y = B::Mul(y, frequency);
      z = B::Mul(z, frequency);
      D value = C(0.0);
      double persistence = 1.0;
      for (int octave = 0; octave < p.octaves; ++octave) {
        const D signal =
            L::template GradientCoherent<Q>(MakeInt32Range(x), MakeInt32Range(y), MakeInt32Range(z),
                                            CI(FractalSeed(p, octave) * kSeed));
        value = FractalOctave<kBillow>(value, signal, persistence);
        x = B::Mul(x, lacunarity);
        y = B::Mul(y, lacunarity);
        z = B::Mul(z, lacunarity);
        persistence *= p.persistence;
      }
      return FractalEnd<kBillow>(value);
    });
  }

  // Perlin or Billow along a row (Lat R) or a ring (G), every point of the
  // run octave by octave.
  template <class Lat, bool kBillow, int Q, class Run>
  static void FractalAlong(const FractalParams& p, const Run& run, double* out) {
    alignas(64) double values[Lat::kChunk];
    for (double& v : values) v = 0.0;
    double persistence = 1.0;
    Lat::template Octaves<Q>(
        run, p.frequency, p.lacunarity, p.octaves,
        [&p](int octave) { return FractalSeed(p, octave); },
        [&values, &persistence](std::size_t i, D signal) {
          B::Store(values + i, FractalOctave<kBillow>(B::Load(values + i), signal, persistence));
        },
        [&p, &persistence] { persistence *= p.persistence; });
    Finish(values, run.count, out, [](D value) { return FractalEnd<kBillow>(value); });
  }

  template <int Q>
  static void RidgedScattered(const RidgedParams& p, const Points& points, double* out) {
    ForEachBlock(points, out, [&p](D x, D y, D z) {
      const D frequency = C(p.frequency), lacunarity = C(p.lacunarity);
      x = B::Mul(x, frequency);
      y = B::Mul(y, frequency);
      z = B::Mul(z, frequency);
      D value = C(0.0), weight = C(1.0);
      for (int octave = 0; octave < p.octaves; ++octave) {
        const D signal =
            L::template GradientCoherent<Q>(MakeInt32Range(x), MakeInt32Range(y), MakeInt32Range(z),
                                            CI(RidgedSeed(p, octave) * kSeed));
        value = RidgedOctave(value, signal, weight, p.weights[octave]);
        x = B::Mul(x, lacunarity);
        y = B::Mul(y, lacunarity);
        z = B::Mul(z, lacunarity);
      }
      return RidgedEnd(value);
    });
  }

  template <class Lat, int Q, class Run>
  static void RidgedAlong(const RidgedParams& p, const Run& run, double* out) {
    alignas(64) double values[Lat::kChunk], weights[Lat::kChunk];
    for (std::size_t i = 0; i < Lat::kChunk; ++i) {
      values[i] = 0.0;
      weights[i] = 1.0;
    }
    int octave = 0;
    Lat::template Octaves<Q>(
        run, p.frequency, p.lacunarity, p.octaves, [&p](int k) { return RidgedSeed(p, k); },
        [&](std::size_t i, D signal) {
          D weight = B::Load(weights + i);
          B::Store(values + i,
                   RidgedOctave(B::Load(values + i), signal, weight, p.weights[octave]));
          B::Store(weights + i, weight);
        },
        [&octave] { ++octave; });
    Finish(values, run.count, out, [](D value) { return RidgedEnd(value); });
  }

  // out[i] = end(values[i]) for i < count; values holds whole vectors.
  template <class End>
  static void Finish(double* values, std::size_t count, double* out, End end) {
    for (std::size_t i = 0; i < count; i += B::kWidth)
      B::Store(values + i, end(B::Load(values + i)));
    for (std::size_t i = 0; i < count; ++i) out[i] = values[i];
  }

  template <bool kBillow, int Q>
  static void FractalAt(const FractalParams& p, const Points& points, double* out) {
    R::ByRows(
        points, out,
        [&p](const Points& scattered, double* o) { FractalScattered<kBillow, Q>(p, scattered, o); },
        [&p](const typename R::Run& run, double* o) { FractalAlong<R, kBillow, Q>(p, run, o); },
        [&p](const typename G::Ring& ring, double* o) { FractalAlong<G, kBillow, Q>(p, ring, o); });
  }

  template <int Q>
  static void RidgedAt(const RidgedParams& p, const Points& points, double* out) {
    R::ByRows(
        points, out,
        [&p](const Points& scattered, double* o) { RidgedScattered<Q>(p, scattered, o); },
        [&p](const typename R::Run& run, double* o) { RidgedAlong<R, Q>(p, run, o); },
        [&p](const typename G::Ring& ring, double* o) { RidgedAlong<G, Q>(p, ring, o); });
  }

  template <bool kBillow>
  static void Fractal(const FractalParams& p, const Points& points, double* out) {
    switch (p.quality) {
      case kFast:
        return FractalAt<kBillow, kFast>(p, points, out);
      case kStandard:
        return FractalAt<kBillow, kStandard>(p, points, out);
      case kBest:
        return FractalAt<kBillow, kBest>(p, points, out);
      default:
        return FractalAt<kBillow, -1>(p, points, out);
    }
  }

  static void Ridged(const RidgedParams& p, const Points& points, double* out) {
    switch (p.quality) {
      case kFast:
        return RidgedAt<kFast>(p, points, out);
      case kStandard:
        return RidgedAt<kStandard>(p, points, out);
      case kBest:
        return RidgedAt<kBest>(p, points, out);
      default:
        return RidgedAt<-1>(p, points, out);
    }
  }

  // Voronoi has no MakeInt32Range: far coordinates reach the lattice through
  // the truncating conversion (INT32_MIN) and wrapping cell numbers, exactly
  // as libnoise's build walks them (always 5 cells per axis).
  static void Voronoi(const VoronoiParams& p, const Points& points, double* out) {
    ForEachBlock(points, out, [&p](D x, D y, D z) {
      const D frequency = C(p.frequency);
      x = B::Mul(x, frequency);
      y = B::Mul(y, frequency);
      z = B::Mul(z, frequency);
      const I xi = Cell(x), yi = Cell(y), zi = Cell(z);
      D xCell[5], yCell[5], zCell[5];
      for (int d = 0; d < 5; ++d) {
        const I offset = CI(static_cast<std::uint32_t>(d - 2));
        xCell[d] = B::ToDouble(B::AddI(xi, offset));
        yCell[d] = B::ToDouble(B::AddI(yi, offset));
        zCell[d] = B::ToDouble(B::AddI(zi, offset));
      }
      const I base =
          B::AddI(B::AddI(B::AddI(B::MulI(xi, CI(kX)), B::MulI(yi, CI(kY))), B::MulI(zi, CI(kZ))),
                  CI(p.seed * kSeed));
      const I seedStep = CI(kSeed);
      D minDist = C(2147483647.0);
      D xCandidate = C(0.0), yCandidate = C(0.0), zCandidate = C(0.0);
      for (int dz = 0; dz < 5; ++dz) {
        for (int dy = 0; dy < 5; ++dy) {
          for (int dx = 0; dx < 5; ++dx) {
            const std::uint32_t step = static_cast<std::uint32_t>(dx - 2) * kX +
                                       static_cast<std::uint32_t>(dy - 2) * kY +
                                       static_cast<std::uint32_t>(dz - 2) * kZ;
            const I hash = B::AddI(base, CI(step));
            const I hashY = B::AddI(hash, seedStep);
            const D xPos = B::Add(xCell[dx], ValueNoise(hash));
            const D yPos = B::Add(yCell[dy], ValueNoise(hashY));
            const D zPos = B::Add(zCell[dz], ValueNoise(B::AddI(hashY, seedStep)));
            const D xDist = B::Sub(xPos, x), yDist = B::Sub(yPos, y), zDist = B::Sub(zPos, z);
            const D dist =
                B::Add(B::Add(B::Mul(xDist, xDist), B::Mul(yDist, yDist)), B::Mul(zDist, zDist));
            const M closer = B::Lt(dist, minDist);
            minDist = B::Select(closer, dist, minDist);
            xCandidate = B::Select(closer, xPos, xCandidate);
            yCandidate = B::Select(closer, yPos, yCandidate);
            zCandidate = B::Select(closer, zPos, zCandidate);
          }
        }
      }
      D value = C(0.0);
      if (p.distance) {
        const D xDist = B::Sub(xCandidate, x), yDist = B::Sub(yCandidate, y);
        const D zDist = B::Sub(zCandidate, z);
        const D length = B::Sqrt(
            B::Add(B::Add(B::Mul(xDist, xDist), B::Mul(yDist, yDist)), B::Mul(zDist, zDist)));
        value = B::Sub(B::Mul(length, C(1.7320508075688772935)), C(1.0));
      }
      const I cellX = B::TruncToInt(B::Floor(xCandidate));
      const I cellY = B::TruncToInt(B::Floor(yCandidate));
      const I cellZ = B::TruncToInt(B::Floor(zCandidate));
      const I cellHash =
          B::AddI(B::AddI(B::MulI(cellX, CI(kX)), B::MulI(cellY, CI(kY))), B::MulI(cellZ, CI(kZ)));
      return B::Add(value, B::Mul(C(p.displacement), ValueNoise(cellHash)));
    });
  }

  // Spheres (kCylinders false) or Cylinders, which ignore y.
  template <bool kCylinders>
  static void Shells(double frequency, const Points& points, double* out) {
    ForEachBlock(points, out, [frequency](D x, D y, D z) {
      const D f = C(frequency);
      x = B::Mul(x, f);
      z = B::Mul(z, f);
      D squared;
      if constexpr (kCylinders) {
        squared = B::Add(B::Mul(x, x), B::Mul(z, z));
      } else {
        y = B::Mul(y, f);
        squared = B::Add(B::Add(B::Mul(x, x), B::Mul(y, y)), B::Mul(z, z));
      }
      const D dist = B::Sqrt(squared);
      const D smaller = B::Sub(dist, B::Floor(dist));
      const D larger = B::Sub(C(1.0), smaller);
      const D nearest = B::Select(B::Lt(smaller, larger), smaller, larger);
      return B::Sub(C(1.0), B::Mul(nearest, C(4.0)));
    });
  }

  static void Checkerboard(const Points& points, double* out) {
    ForEachBlock(points, out, [](D x, D y, D z) {
      const I ix = B::TruncToInt(B::Floor(MakeInt32Range(x)));
      const I iy = B::TruncToInt(B::Floor(MakeInt32Range(y)));
      const I iz = B::TruncToInt(B::Floor(MakeInt32Range(z)));
      const I odd = B::AndI(B::XorI(B::XorI(ix, iy), iz), CI(1));
      return B::Sub(C(1.0), B::Mul(C(2.0), B::ToDouble(odd)));  // -1 where odd, else 1
    });
  }

  static constexpr KernelTable kTable = {
      &Fractal<false>, &Fractal<true>, &Ridged,       &Voronoi,
      &Shells<false>,  &Shells<true>,  &Checkerboard,
  };
};

}  // namespace noisebind::simd::detail

#endif
