// libnoise's table of 256 gradient vectors, rows of (x, y, z, 0).
#ifndef NOISEBIND_SIMD_GRADIENT_TABLE_H
#define NOISEBIND_SIMD_GRADIENT_TABLE_H

namespace noisebind::simd::detail {

extern const double* const kGradients;  // 256 * 4 values

}  // namespace noisebind::simd::detail

#endif
