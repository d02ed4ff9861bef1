// Gradient noise on libnoise's integer lattice, written once over a backend B
// that evaluates B::kWidth points at a time: the steps of libnoise's
// GradientCoherentNoise3D in libnoise's order, shared by the kernels that
// take any points and those that take rows.
#ifndef NOISEBIND_SIMD_LATTICE_H
#define NOISEBIND_SIMD_LATTICE_H

#include <cstdint>

#include "gradient_table.h"
#include "kernel_table.h"

namespace noisebind::simd::detail {

template <class B>
struct Lattice {
  using D = typename B::D;
  using I = typename B::I;
  using M = typename B::M;

  // Hash multipliers of libnoise's lattice noise.
  static constexpr std::uint32_t kX = 1619, kY = 31337, kZ = 6971, kSeed = 1013;

  static D C(double v) { return B::Set(v); }
  static I CI(std::uint32_t v) { return B::SetI(v); }

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

  // LinearInterp, with 1 - a given: it is the same value wherever computed.
  static D Lerp(D n0, D n1, D a, D oneMinusA) {
    return B::Add(B::Mul(oneMinusA, n0), B::Mul(a, n1));
  }
  static D Lerp(D n0, D n1, D a) { return Lerp(n0, n1, a, B::Sub(C(1.0), a)); }

  // The gradient vector of the corner whose hash sum is `hash`. Inlined
  // always: as calls, they cost GradientCoherent a sixth more instructions.
  [[gnu::always_inline]] static void GradientOf(I hash, D& gx, D& gy, D& gz) {
    const I row = B::AndI(B::XorI(hash, B::template ShiftRightI<8>(hash)), CI(0xff));
    B::GatherRows(kGradients, B::template ShiftLeftI<2>(row), gx, gy, gz);
  }

  // GradientNoise3D for the corner whose hash sum is `hash`.
  [[gnu::always_inline]] static D Gradient(I hash, D xp, D yp, D zp) {
    D gx, gy, gz;
    GradientOf(hash, gx, gy, gz);
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
};

}  // namespace noisebind::simd::detail

#endif
