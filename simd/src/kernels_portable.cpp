// The kernels on the portable path.
#include "backend_portable.h"
#include "kernels.h"

namespace noisebind::simd::detail {

const KernelTable kPortableKernels = Kernels<portable::Backend>::kTable;

}  // namespace noisebind::simd::detail
