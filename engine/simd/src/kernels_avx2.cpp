// The kernels on the avx2 path.
#include "backend_avx2.h"
#include "kernels.h"

namespace noisebind::simd::detail {

const KernelTable kAvx2Kernels = Kernels<avx2::Backend>::kTable;

}  // namespace noisebind::simd::detail
