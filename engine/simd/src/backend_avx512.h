// Eight points at a time with AVX-512 F and VL; only for files built with
// those instruction sets.
#ifndef NOISEBIND_SIMD_BACKEND_AVX512_H
#define NOISEBIND_SIMD_BACKEND_AVX512_H

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace noisebind::simd::detail::avx512 {

struct Backend {
  static constexpr std::size_t kWidth = 8;
  using D = __m512d;
  using I = __m256i;
  using M = __mmask8;

  static D Load(const double* p) { return _mm512_loadu_pd(p); }
  static void Store(double* p, D v) { _mm512_storeu_pd(p, v); }
  static D Set(double v) { return _mm512_set1_pd(v); }
  static I SetI(std::uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
  static I Lanes() { return _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7); }
  // The first lane's integer, and whether every lane holds the same.
  static std::uint32_t FirstI(I a) {
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm256_castsi256_si128(a)));
  }
  static bool SameLanes(I a) {
    const I first = _mm256_broadcastd_epi32(_mm256_castsi256_si128(a));
    return _mm256_cmpeq_epi32_mask(a, first) == 0xff;
  }

  static D Add(D a, D b) { return _mm512_add_pd(a, b); }
  static D Sub(D a, D b) { return _mm512_sub_pd(a, b); }
  static D Mul(D a, D b) { return _mm512_mul_pd(a, b); }
  static D Sqrt(D a) { return _mm512_sqrt_pd(a); }
  static D Floor(D a) { return _mm512_roundscale_pd(a, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC); }
  static D Trunc(D a) { return _mm512_roundscale_pd(a, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }
  static D Abs(D a) { return _mm512_abs_pd(a); }
  static D Min(D a, D b) { return _mm512_min_pd(a, b); }
  static D Max(D a, D b) { return _mm512_max_pd(a, b); }

  static M Gt(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_GT_OQ); }
  static M Ge(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_GE_OQ); }
  static M Lt(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
  static M Le(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_LE_OQ); }
  static D Select(M m, D a, D b) { return _mm512_mask_blend_pd(m, b, a); }
  static bool Any(M m) { return m != 0; }

  // INT32_MIN for NaN and out-of-range values, as the scalar instruction.
  static I TruncToInt(D v) { return _mm512_cvttpd_epi32(v); }
  static D ToDouble(I v) { return _mm512_cvtepi32_pd(v); }

  static I AddI(I a, I b) { return _mm256_add_epi32(a, b); }
  static I MulI(I a, I b) { return _mm256_mullo_epi32(a, b); }
  static I XorI(I a, I b) { return _mm256_xor_si256(a, b); }
  static I AndI(I a, I b) { return _mm256_and_si256(a, b); }
  template <int N>
  static I ShiftRightI(I a) {
    return _mm256_srli_epi32(a, N);
  }
  template <int N>
  static I ShiftLeftI(I a) {
    return _mm256_slli_epi32(a, N);
  }
  static I DecrementUnless(M keep, I v) {
    return _mm256_mask_sub_epi32(v, static_cast<M>(~keep), v, _mm256_set1_epi32(1));
  }
  // The first three values of the table rows starting at `index`: eight row
  // loads and a transpose cost less than three gathers.
  [[gnu::always_inline]] static void GatherRows(const double* table, I index, D& x, D& y, D& z) {
    alignas(32) std::uint32_t at[8];  // unsigned: no sign extension per lane
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), index);
    const auto pair = [table, &at](int low, int high) {
      return _mm512_insertf64x4(_mm512_castpd256_pd512(_mm256_loadu_pd(table + at[low])),
                                _mm256_loadu_pd(table + at[high]), 1);
    };
    const D r04 = pair(0, 4), r15 = pair(1, 5), r26 = pair(2, 6), r37 = pair(3, 7);
    // Per 128-bit lane: (x0 x1 | z0 z1 | x4 x5 | z4 z5) and (y0 y1 | 0 0 | y4 y5 | 0 0).
    const D xz01 = _mm512_unpacklo_pd(r04, r15), y01 = _mm512_unpackhi_pd(r04, r15);
    const D xz23 = _mm512_unpacklo_pd(r26, r37), y23 = _mm512_unpackhi_pd(r26, r37);
    const __m512i low = _mm512_setr_epi64(0, 1, 8, 9, 4, 5, 12, 13);
    const __m512i high = _mm512_setr_epi64(2, 3, 10, 11, 6, 7, 14, 15);
    x = _mm512_permutex2var_pd(xz01, low, xz23);
    y = _mm512_permutex2var_pd(y01, low, y23);
    z = _mm512_permutex2var_pd(xz01, high, xz23);
  }

  // Where each lane's entry lies in a column of per-cell values: within
  // eight entries from `base` (rows are monotonic, so the first or last lane
  // has the lowest), taken with one load and one permutation.
  struct Window {
    std::size_t base;
    bool single;  // every lane at base
    __m512i index;
  };
  static bool MakeWindow(I offsets, Window& w) {
    const int first = _mm_cvtsi128_si32(_mm256_castsi256_si128(offsets));
    const int last = _mm256_extract_epi32(offsets, 7);
    const int base = first < last ? first : last;
    const I relative = _mm256_sub_epi32(offsets, _mm256_set1_epi32(base));
    if (!_mm256_testz_si256(relative, _mm256_set1_epi32(~7))) return false;
    w.base = static_cast<std::size_t>(base);
    w.single = _mm256_testz_si256(relative, relative) != 0;
    w.index = _mm512_cvtepu32_epi64(relative);
    return true;
  }
  // The lanes' entries of the column whose entry at `base` is at `at`.
  static D Gather(const Window& w, const double* at) {
    return _mm512_permutexvar_pd(w.index, _mm512_loadu_pd(at));
  }
};

}  // namespace noisebind::simd::detail::avx512

#endif
