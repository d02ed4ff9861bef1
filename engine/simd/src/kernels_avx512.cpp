// The kernels on the avx512 path.
#include "backend_avx512.h"
#include "kernels.h"

namespace noisebind::simd::detail {

const KernelTable kAvx512Kernels = Kernels<avx512::Backend>::kTable;

}  // namespace noisebind::simd::detail
