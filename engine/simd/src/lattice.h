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

  // GradientNoise3D's value from the corner's gradient and the offsets.
  [[gnu::always_inline]] static D Dot(D gx, D gy, D gz, D xp, D yp, D zp) {
    return B::Mul(B::Add(B::Add(B::Mul(gx, xp), B::Mul(gy, yp)), B::Mul(gz, zp)), C(2.12));
  }

  // GradientNoise3D for the corner whose hash sum is `hash`.
  [[gnu::always_inline]] static D Gradient(I hash, D xp, D yp, D zp) {
    D gx, gy, gz;
    GradientOf(hash, gx, gy, gz);
    return Dot(gx, gy, gz, xp, yp, zp);
  }

  // The same where every lane's corner has the hash sum `hash`: the
  // gradient is read once and broadcast.
  [[gnu::always_inline]] static D SharedGradient(std::uint32_t hash, D xp, D yp, D zp) {
    const double* g = kGradients + (((hash ^ (hash >> 8)) & 0xffu) << 2);
    return Dot(B::Set(g[0]), B::Set(g[1]), B::Set(g[2]), xp, yp, zp);
  }

  // One axis of a point's cell: its offsets from the cell's two faces, the
  // curve and 1 minus it (the same value wherever computed); the cell.
  template <int Q>
  [[gnu::always_inline]] static I Along(D v, D& d0, D& d1, D& s, D& s1) {
    const I v0 = Cell(v);
    d0 = B::Sub(v, B::ToDouble(v0));
    d1 = B::Sub(v, B::ToDouble(B::AddI(v0, CI(1))));
    s = Curve<Q>(d0);
    s1 = B::Sub(C(1.0), s);
    return v0;
  }

  struct Offsets {
    D xd0, xd1, xs, xs1, yd0, yd1, ys, ys1, zd0, zd1, zs, zs1;
  };

  // The eight corners of the cells whose first corner has hash sum h,
  // interpolated as GradientCoherentNoise3D does. A corner's hash differs
  // from the first by the multipliers, modulo 2^32. Where every lane has
  // the same first hash sum (points in one cell, as neighbours along a map's
  // row mostly are at coarse octaves), each corner's gradient is read once
  // for all lanes.
  [[gnu::always_inline]] static D Blend(I h, const Offsets& o) {
    if (B::SameLanes(h)) return BlendCorners(Shared{B::FirstI(h)}, o);
    return BlendCorners(Lanes{h}, o);
  }

  // GradientCoherentNoise3D; seedTerm is 1013 * seed.
  template <int Q>
  static D GradientCoherent(D x, D y, D z, I seedTerm) {
    Offsets o;
    const I x0 = Along<Q>(x, o.xd0, o.xd1, o.xs, o.xs1);
    const I y0 = Along<Q>(y, o.yd0, o.yd1, o.ys, o.ys1);
    const I z0 = Along<Q>(z, o.zd0, o.zd1, o.zs, o.zs1);
    return Blend(
        B::AddI(B::AddI(B::AddI(B::MulI(x0, CI(kX)), B::MulI(y0, CI(kY))), B::MulI(z0, CI(kZ))),
                seedTerm),
        o);
  }

 private:
  struct Lanes {  // a hash sum per lane
    I h;
  };
  struct Shared {  // one hash sum for every lane
    std::uint32_t h;
  };
  static Lanes Plus(Lanes h, std::uint32_t step) { return {B::AddI(h.h, CI(step))}; }
  static Shared Plus(Shared h, std::uint32_t step) { return {h.h + step}; }
  [[gnu::always_inline]] static D Corner(Lanes h, D xd, D yd, D zd) {
    return Gradient(h.h, xd, yd, zd);
  }
  [[gnu::always_inline]] static D Corner(Shared h, D xd, D yd, D zd) {
    return SharedGradient(h.h, xd, yd, zd);
  }
  template <class H>
  [[gnu::always_inline]] static D AlongX(H h, const Offsets& o, D yd, D zd) {
    return Lerp(Corner(h, o.xd0, yd, zd), Corner(Plus(h, kX), o.xd1, yd, zd), o.xs, o.xs1);
  }
  template <class H>
  [[gnu::always_inline]] static D BlendCorners(H h, const Offsets& o) {
    const H h010 = Plus(h, kY), h001 = Plus(h, kZ), h011 = Plus(h001, kY);
    const D iy0 = Lerp(AlongX(h, o, o.yd0, o.zd0), AlongX(h010, o, o.yd1, o.zd0), o.ys, o.ys1);
    const D iy1 = Lerp(AlongX(h001, o, o.yd0, o.zd1), AlongX(h011, o, o.yd1, o.zd1), o.ys, o.ys1);
    return Lerp(iy0, iy1, o.zs, o.zs1);
  }
};

}  // namespace noisebind::simd::detail

#endif
