// Four points at a time with AVX2; only for files built with -mavx2.
#ifndef NOISEBIND_SIMD_BACKEND_AVX2_H
#define NOISEBIND_SIMD_BACKEND_AVX2_H

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace noisebind::simd::detail::avx2 {

struct Backend {
  static constexpr std::size_t kWidth = 4;
  using D = __m256d;
  using I = __m128i;
  using M = __m256d;

  static D Load(const double* p) { return _mm256_loadu_pd(p); }
  static void Store(double* p, D v) { _mm256_storeu_pd(p, v); }
  static D Set(double v) { return _mm256_set1_pd(v); }
  static I SetI(std::uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
  static I Lanes() { return _mm_setr_epi32(0, 1, 2, 3); }
  // The first lane's integer, and whether every lane holds the same.
  static std::uint32_t FirstI(I a) { return static_cast<std::uint32_t>(_mm_cvtsi128_si32(a)); }
  static bool SameLanes(I a) {
    return _mm_movemask_epi8(_mm_cmpeq_epi32(a, _mm_shuffle_epi32(a, 0))) == 0xffff;
  }

  static D Add(D a, D b) { return _mm256_add_pd(a, b); }
  static D Sub(D a, D b) { return _mm256_sub_pd(a, b); }
  static D Mul(D a, D b) { return _mm256_mul_pd(a, b); }
  static D Sqrt(D a) { return _mm256_sqrt_pd(a); }
  static D Floor(D a) { return _mm256_round_pd(a, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC); }
  static D Trunc(D a) { return _mm256_round_pd(a, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }
  static D Abs(D a) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), a); }
  static D Min(D a, D b) { return _mm256_min_pd(a, b); }
  static D Max(D a, D b) { return _mm256_max_pd(a, b); }

  static M Gt(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
  static M Ge(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_GE_OQ); }
  static M Lt(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
  static M Le(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_LE_OQ); }
  static D Select(M m, D a, D b) { return _mm256_blendv_pd(b, a, m); }
  static bool Any(M m) { return _mm256_movemask_pd(m) != 0; }

  // INT32_MIN for NaN and out-of-range values, as the scalar instruction.
  static I TruncToInt(D v) { return _mm256_cvttpd_epi32(v); }
  static D ToDouble(I v) { return _mm256_cvtepi32_pd(v); }

  static I AddI(I a, I b) { return _mm_add_epi32(a, b); }
  static I MulI(I a, I b) { return _mm_mullo_epi32(a, b); }
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
  static I DecrementUnless(M keep, I v) {
    // The low halves of the 64-bit mask lanes: -1 where keep holds.
    const __m256i low = _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6);
    const I mask =
        _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(_mm256_castpd_si256(keep), low));
    return _mm_sub_epi32(_mm_sub_epi32(v, _mm_set1_epi32(1)), mask);
  }
  // The first three values of the table rows starting at `index`: four row
  // loads and a transpose cost less than three gathers.
  [[gnu::always_inline]] static void GatherRows(const double* table, I index, D& x, D& y, D& z) {
    alignas(16) std::uint32_t at[4];  // unsigned: no sign extension per lane
    _mm_store_si128(reinterpret_cast<__m128i*>(at), index);
    const D r0 = _mm256_loadu_pd(table + at[0]), r1 = _mm256_loadu_pd(table + at[1]);
    const D r2 = _mm256_loadu_pd(table + at[2]), r3 = _mm256_loadu_pd(table + at[3]);
    const D xz01 = _mm256_unpacklo_pd(r0, r1), y01 = _mm256_unpackhi_pd(r0, r1);
    const D xz23 = _mm256_unpacklo_pd(r2, r3), y23 = _mm256_unpackhi_pd(r2, r3);
    x = _mm256_permute2f128_pd(xz01, xz23, 0x20);
    y = _mm256_permute2f128_pd(y01, y23, 0x20);
    z = _mm256_permute2f128_pd(xz01, xz23, 0x31);
  }

  // Where each lane's entry lies in a column of per-cell values: within
  // four entries from `base` (rows are monotonic, so the first or last lane
  // has the lowest), taken with one load and one permutation.
  struct Window {
    std::size_t base;
    bool single;  // every lane at base
    __m256i index;
  };
  static bool MakeWindow(I offsets, Window& w) {
    const int first = _mm_cvtsi128_si32(offsets), last = _mm_extract_epi32(offsets, 3);
    const int base = first < last ? first : last;
    const I relative = _mm_sub_epi32(offsets, _mm_set1_epi32(base));
    if (!_mm_testz_si128(relative, _mm_set1_epi32(~3))) return false;
    w.base = static_cast<std::size_t>(base);
    w.single = _mm_testz_si128(relative, relative) != 0;
    // Each double is two 32-bit halves: lane r moves to halves 2r and 2r + 1.
    const __m256i twice = _mm256_slli_epi64(_mm256_cvtepu32_epi64(relative), 1);
    const __m256i high = _mm256_add_epi64(twice, _mm256_set1_epi64x(1));
    w.index = _mm256_or_si256(twice, _mm256_slli_epi64(high, 32));
    return true;
  }
  // The lanes' entries of the column whose entry at `base` is at `at`.
  static D Gather(const Window& w, const double* at) {
    const __m256 entries = _mm256_castpd_ps(_mm256_loadu_pd(at));
    return _mm256_castps_pd(_mm256_permutevar8x32_ps(entries, w.index));
  }
};

}  // namespace noisebind::simd::detail::avx2

#endif
