// A block of points for the batch kernels.
#ifndef NOISEBIND_SIMD_POINTS_H
#define NOISEBIND_SIMD_POINTS_H

#include <cstddef>

namespace noisebind::simd {

// Points in structure-of-arrays form: point i is (x[i], y[i], z[i]). The
// arrays may alias each other (a plane map can pass one array of zeros twice)
// but must not overlap the output.
struct Points {
  const double* x;
  const double* y;
  const double* z;
  std::size_t count;
};

}  // namespace noisebind::simd

#endif
