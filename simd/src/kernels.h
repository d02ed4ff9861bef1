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

#include "gradient_table.h"
#include "kernel_table.h"

namespace noisebind::simd::detail {

template <class B>
struct Kernels {
  using D = typename B::D;
  using I = typename B::I;
  using M = typename B::M;

  // Hash multipliers of libnoise's lattice noise.
  static constexpr std::uint32_t kX = 1619, kY = 31337, kZ = 6971, kSeed = 1013;

  static D C(double v) { return B::Set(v); }
  static I CI(std::uint32_t v) { return B::SetI(v); }

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

  // libnoise's MakeInt32Range. Since 2^30 is a power of two, n - trunc(n /
  // 2^30) * 2^30 is exact and equals fmod(n, 2^30) (up to the sign of a zero,
  // which adding 2^30 erases); infinities give NaN as fmod does.
  static D MakeInt32Range(D n) {
    const D range = C(1073741824.0);
    const M high = B::Ge(n, range);
    const M low = B::Le(n, C(-1073741824.0));
    if (!B::Any(high) && !B::Any(low)) return n;
    const D rem = B::Sub(n, B::Mul(B::Trunc(B::Mul(n, C(1.0 / 1073741824.0))), range));
    const D twice = B::Mul(C(2.0), rem);
    return B::Select(high, B::Sub(twice, range), B::Select(low, B::Add(twice, range), n));
  }

  // The lattice cell below v as libnoise computes it: truncate, then one less
  // unless v > 0 (so -1.0 lies in cell -2, and NaN in INT32_MIN - 1, wrapped).
  static I Cell(D v) { return B::DecrementUnless(B::Gt(v, C(0.0)), B::TruncToInt(v)); }

  template <int Q>
  static D Curve(D a) {
    if constexpr (Q == kFast) {
      return a;
    } else if constexpr (Q == kStandard) {  // SCurve3
      return B::Mul(B::Mul(a, a), B::Sub(C(3.0), B::Mul(C(2.0), a)));
    } else if constexpr (Q == kBest) {  // SCurve5
      const D a3 = B::Mul(B::Mul(a, a), a);
      const D a4 = B::Mul(a3, a);
      const D a5 = B::Mul(a4, a);
      return B::Add(B::Sub(B::Mul(C(6.0), a5), B::Mul(C(15.0), a4)), B::Mul(C(10.0), a3));
    } else {
      return C(0.0);  // libnoise leaves the curve at 0 for unknown qualities
    }
  }

  static D Lerp(D n0, D n1, D a) { return B::Add(B::Mul(B::Sub(C(1.0), a), n0), B::Mul(a, n1)); }

  // GradientNoise3D for the corner whose hash sum is `hash`.
  static D Gradient(I hash, D xp, D yp, D zp) {
    const I row = B::AndI(B::XorI(hash, B::template ShiftRightI<8>(hash)), CI(0xff));
    D gx, gy, gz;
    B::GatherRows(kGradients, B::template ShiftLeftI<2>(row), gx, gy, gz);
    return B::Mul(B::Add(B::Add(B::Mul(gx, xp), B::Mul(gy, yp)), B::Mul(gz, zp)), C(2.12));
  }

  // GradientCoherentNoise3D; seedTerm is 1013 * seed.
  template <int Q>
  static D GradientCoherent(D x, D y, D z, I seedTerm) {
    const I one = CI(1);
    const I x0 = Cell(x), y0 = Cell(y), z0 = Cell(z);
    const D xd0 = B::Sub(x, B::ToDouble(x0)), xd1 = B::Sub(x, B::ToDouble(B::AddI(x0, one)));
    const D yd0 = B::Sub(y, B::ToDouble(y0)), yd1 = B::Sub(y, B::ToDouble(B::AddI(y0, one)));
    const D zd0 = B::Sub(z, B::ToDouble(z0)), zd1 = B::Sub(z, B::ToDouble(B::AddI(z0, one)));
    const D xs = Curve<Q>(xd0), ys = Curve<Q>(yd0), zs = Curve<Q>(zd0);

    // Corner hashes differ from the first by the multipliers, modulo 2^32.
    const I h000 = B::AddI(
        B::AddI(B::AddI(B::MulI(x0, CI(kX)), B::MulI(y0, CI(kY))), B::MulI(z0, CI(kZ))), seedTerm);
    const I h010 = B::AddI(h000, CI(kY));
    const I h001 = B::AddI(h000, CI(kZ));
    const I h011 = B::AddI(h001, CI(kY));
    const I dx = CI(kX);

    const D ix0 =
        Lerp(Gradient(h000, xd0, yd0, zd0), Gradient(B::AddI(h000, dx), xd1, yd0, zd0), xs);
    const D ix1 =
        Lerp(Gradient(h010, xd0, yd1, zd0), Gradient(B::AddI(h010, dx), xd1, yd1, zd0), xs);
    const D iy0 = Lerp(ix0, ix1, ys);
    const D jx0 =
        Lerp(Gradient(h001, xd0, yd0, zd1), Gradient(B::AddI(h001, dx), xd1, yd0, zd1), xs);
    const D jx1 =
        Lerp(Gradient(h011, xd0, yd1, zd1), Gradient(B::AddI(h011, dx), xd1, yd1, zd1), xs);
    const D iy1 = Lerp(jx0, jx1, ys);
    return Lerp(iy0, iy1, zs);
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

  // Perlin (Billow when kBillow) for one quality.
  template <bool kBillow, int Q>
  static void FractalAt(const FractalParams& p, const Points& points, double* out) {
    ForEachBlock(points, out, [&p](D x, D y, D z) {
      const D frequency = C(p.frequency), lacunarity = C(p.lacunarity);
      x = B::Mul(x, frequency);
      y = B::Mul(y, frequency);
      z = B::Mul(z, frequency);
      D value = C(0.0);
      double persistence = 1.0;
      for (int octave = 0; octave < p.octaves; ++octave) {
        const std::uint32_t seed = p.seed + static_cast<std::uint32_t>(octave);
        D signal = GradientCoherent<Q>(MakeInt32Range(x), MakeInt32Range(y), MakeInt32Range(z),
                                       CI(seed * kSeed));
        if constexpr (kBillow) signal = B::Sub(B::Mul(C(2.0), B::Abs(signal)), C(1.0));
        value = B::Add(value, B::Mul(signal, C(persistence)));
        x = B::Mul(x, lacunarity);
        y = B::Mul(y, lacunarity);
        z = B::Mul(z, lacunarity);
        persistence *= p.persistence;
      }
      if constexpr (kBillow) value = B::Add(value, C(0.5));
      return value;
    });
  }

  template <int Q>
  static void RidgedAt(const RidgedParams& p, const Points& points, double* out) {
    ForEachBlock(points, out, [&p](D x, D y, D z) {
      const D frequency = C(p.frequency), lacunarity = C(p.lacunarity);
      const D zero = C(0.0), one = C(1.0);
      x = B::Mul(x, frequency);
      y = B::Mul(y, frequency);
      z = B::Mul(z, frequency);
      D value = zero, weight = one;
      for (int octave = 0; octave < p.octaves; ++octave) {
        const std::uint32_t seed = (p.seed + static_cast<std::uint32_t>(octave)) & 0x7fffffffu;
        D signal = GradientCoherent<Q>(MakeInt32Range(x), MakeInt32Range(y), MakeInt32Range(z),
                                       CI(seed * kSeed));
        signal = B::Sub(one, B::Abs(signal));  // offset 1
        signal = B::Mul(signal, signal);
        signal = B::Mul(signal, weight);
        weight = B::Mul(signal, C(2.0));  // gain 2
        weight = B::Select(B::Gt(weight, one), one, weight);
        weight = B::Select(B::Lt(weight, zero), zero, weight);
        value = B::Add(value, B::Mul(signal, C(p.weights[octave])));
        x = B::Mul(x, lacunarity);
        y = B::Mul(y, lacunarity);
        z = B::Mul(z, lacunarity);
      }
      return B::Sub(B::Mul(value, C(1.25)), one);
    });
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
