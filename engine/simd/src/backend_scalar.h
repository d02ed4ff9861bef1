// One point at a time in plain C++: the portable path off x86-64.
#ifndef NOISEBIND_SIMD_BACKEND_SCALAR_H
#define NOISEBIND_SIMD_BACKEND_SCALAR_H

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace noisebind::simd::detail::scalar {

struct Backend {
  static constexpr std::size_t kWidth = 1;
  using D = double;
  using I = std::uint32_t;  // wraps like the library's int arithmetic does in practice
  using M = bool;

  static D Load(const double* p) { return *p; }
  static void Store(double* p, D v) { *p = v; }
  static D Set(double v) { return v; }
  static I SetI(std::uint32_t v) { return v; }
  static I Lanes() { return 0; }
  static std::uint32_t FirstI(I a) { return a; }
  static bool SameLanes(I) { return true; }

  static D Add(D a, D b) { return a + b; }
  static D Sub(D a, D b) { return a - b; }
  static D Mul(D a, D b) { return a * b; }
  static D Sqrt(D a) { return std::sqrt(a); }
  static D Floor(D a) { return std::floor(a); }
  static D Trunc(D a) { return std::trunc(a); }
  static D Abs(D a) { return std::fabs(a); }
  static D Min(D a, D b) { return b < a ? b : a; }
  static D Max(D a, D b) { return b > a ? b : a; }

  static M Gt(D a, D b) { return a > b; }
  static M Ge(D a, D b) { return a >= b; }
  static M Lt(D a, D b) { return a < b; }
  static M Le(D a, D b) { return a <= b; }
  static D Select(M m, D a, D b) { return m ? a : b; }
  static bool Any(M m) { return m; }

  // As the processor's truncating conversion: INT32_MIN for NaN and for
  // values out of range, where a C++ cast would be undefined.
  static I TruncToInt(D v) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) return 0x80000000u;
    return static_cast<I>(static_cast<std::int32_t>(v));
  }
  static D ToDouble(I v) { return static_cast<double>(static_cast<std::int32_t>(v)); }

  static I AddI(I a, I b) { return a + b; }
  static I MulI(I a, I b) { return a * b; }
  static I XorI(I a, I b) { return a ^ b; }
  static I AndI(I a, I b) { return a & b; }
  template <int N>
  static I ShiftRightI(I a) {
    return a >> N;
  }
  template <int N>
  static I ShiftLeftI(I a) {
    return a << N;
  }
  static I DecrementUnless(M keep, I v) { return keep ? v : v - 1u; }
  // The first three values of the table row starting at `index`.
  [[gnu::always_inline]] static void GatherRows(const double* table, I index, D& x, D& y, D& z) {
    x = table[index];
    y = table[index + 1];
    z = table[index + 2];
  }

  // Where the point's entry lies in a column of per-cell values.
  struct Window {
    std::size_t base;
    bool single;
  };
  static bool MakeWindow(I offset, Window& w) {
    w.base = offset;
    w.single = true;
    return true;
  }
  // The entry of the column whose entry at `base` is at `at`.
  static D Gather(const Window&, const double* at) { return *at; }
};

}  // namespace noisebind::simd::detail::scalar

#endif
