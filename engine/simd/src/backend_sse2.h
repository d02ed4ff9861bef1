// Two points at a time with SSE2, which every x86-64 processor has: the
// portable path there. SSE2 has no rounding instruction (built here from
// additions) and multiplies 32-bit integers only into 64-bit products (the
// integers' layout below is made for that).
#ifndef NOISEBIND_SIMD_BACKEND_SSE2_H
#define NOISEBIND_SIMD_BACKEND_SSE2_H

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

namespace noisebind::simd::detail::sse2 {

struct Backend {
  static constexpr std::size_t kWidth = 2;
  using D = __m128d;
  // The two points' integers in the low halves of the 64-bit lanes (32-bit
  // lanes 0 and 2), so that one unsigned 32 x 32 -> 64 multiplication
  // multiplies both; lanes 1 and 3 are unused.
  using I = __m128i;
  using M = __m128d;

  static D Load(const double* p) { return _mm_loadu_pd(p); }
  static void Store(double* p, D v) { _mm_storeu_pd(p, v); }
  static D Set(double v) { return _mm_set1_pd(v); }
  static I SetI(std::uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
  static I Lanes() { return _mm_setr_epi32(0, 0, 1, 0); }
  // The first point's integer, and whether both points hold the same
  // (32-bit lanes 0 and 2; the others are unused).
  static std::uint32_t FirstI(I a) { return static_cast<std::uint32_t>(_mm_cvtsi128_si32(a)); }
  static bool SameLanes(I a) {
    return (_mm_movemask_epi8(_mm_cmpeq_epi32(a, _mm_shuffle_epi32(a, 0))) & 0x0f0f) == 0x0f0f;
  }

  static D Add(D a, D b) { return _mm_add_pd(a, b); }
  static D Sub(D a, D b) { return _mm_sub_pd(a, b); }
  static D Mul(D a, D b) { return _mm_mul_pd(a, b); }
  static D Sqrt(D a) { return _mm_sqrt_pd(a); }
  static D Abs(D a) { return _mm_andnot_pd(_mm_set1_pd(-0.0), a); }
  static D Min(D a, D b) { return _mm_min_pd(a, b); }
  static D Max(D a, D b) { return _mm_max_pd(a, b); }

  // Below 2^52 in magnitude, adding and subtracting 2^52 rounds to a whole
  // number (to nearest, the default mode), and a step of one where that went
  // the wrong way gives the floor or the truncation; larger magnitudes,
  // infinities and NaN are their own floor.
  static D Floor(D a) {
    const D magnitude = Abs(a);
    const D nearest = _mm_or_pd(RoundedMagnitude(magnitude), SignOf(a));
    const D below = Sub(nearest, _mm_and_pd(Gt(nearest, a), Set(1.0)));
    return Select(Lt(magnitude, Set(kTwoTo52)), below, a);
  }
  static D Trunc(D a) {
    const D magnitude = Abs(a);
    D whole = RoundedMagnitude(magnitude);
    whole = Sub(whole, _mm_and_pd(Gt(whole, magnitude), Set(1.0)));
    return Select(Lt(magnitude, Set(kTwoTo52)), _mm_or_pd(whole, SignOf(a)), a);
  }

  static M Gt(D a, D b) { return _mm_cmpgt_pd(a, b); }
  static M Ge(D a, D b) { return _mm_cmpge_pd(a, b); }
  static M Lt(D a, D b) { return _mm_cmplt_pd(a, b); }
  static M Le(D a, D b) { return _mm_cmple_pd(a, b); }
  static D Select(M m, D a, D b) { return _mm_or_pd(_mm_and_pd(m, a), _mm_andnot_pd(m, b)); }
  static bool Any(M m) { return _mm_movemask_pd(m) != 0; }

  // INT32_MIN for NaN and out-of-range values, as the scalar instruction.
  static I TruncToInt(D v) {
    return _mm_shuffle_epi32(_mm_cvttpd_epi32(v), _MM_SHUFFLE(1, 1, 0, 0));
  }
  static D ToDouble(I v) { return _mm_cvtepi32_pd(_mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 2, 0))); }

  static I AddI(I a, I b) { return _mm_add_epi32(a, b); }
  static I MulI(I a, I b) { return _mm_mul_epu32(a, b); }
  static I XorI(I a, I b) { return _mm_xor_si128(a, b); }
  static I AndI(I a, I b) { return _mm_and_si128(a, b); }
  template <int N>
  static I ShiftRightI(I a) {
    return _mm_srli_epi32(a, N);
  }
  template <int N>
  static I ShiftLeftI(I a) {
    return _mm_slli_epi32(a, N);
  }
  // The mask's 64-bit lanes line up with the integers: -1 where keep holds.
  static I DecrementUnless(M keep, I v) {
    return _mm_sub_epi32(_mm_sub_epi32(v, _mm_set1_epi32(1)), _mm_castpd_si128(keep));
  }
  // The first three values of the table rows starting at `index`.
  [[gnu::always_inline]] static void GatherRows(const double* table, I index, D& x, D& y, D& z) {
    const double* first = table + _mm_cvtsi128_si32(index);
    const double* second = table + _mm_cvtsi128_si32(_mm_srli_si128(index, 8));
    const D xy0 = _mm_loadu_pd(first), xy1 = _mm_loadu_pd(second);
    x = _mm_unpacklo_pd(xy0, xy1);
    y = _mm_unpackhi_pd(xy0, xy1);
    z = _mm_unpacklo_pd(_mm_load_sd(first + 2), _mm_load_sd(second + 2));
  }

  // Where each lane's entry lies in a column of per-cell values: the first
  // lane's at `base`, the second's `second` entries from it; two loads.
  struct Window {
    std::size_t base;
    std::ptrdiff_t second;
    bool single;  // both lanes at base
  };
  static bool MakeWindow(I offsets, Window& w) {
    const int first = _mm_cvtsi128_si32(offsets);
    w.base = static_cast<std::size_t>(first);
    w.second = static_cast<std::ptrdiff_t>(_mm_cvtsi128_si32(_mm_srli_si128(offsets, 8))) - first;
    w.single = w.second == 0;
    return true;
  }
  // The lanes' entries of the column whose entry at `base` is at `at`.
  static D Gather(const Window& w, const double* at) {
    return _mm_loadh_pd(_mm_load_sd(at), at + w.second);
  }

 private:
  static constexpr double kTwoTo52 = 4503599627370496.0;
  static D SignOf(D a) { return _mm_and_pd(a, _mm_set1_pd(-0.0)); }
  // The whole number nearest to `magnitude` (non-negative, below 2^52).
  static D RoundedMagnitude(D magnitude) {
    const D shift = Set(kTwoTo52);
    return Sub(Add(magnitude, shift), shift);
  }
};

}  // namespace noisebind::simd::detail::sse2

#endif
