// The kernels on the portable path: SSE2 on x86-64, where every processor
// has it; plain C++ elsewhere, or with NOISEBIND_SIMD_SCALAR.
#if defined(__x86_64__) && !defined(NOISEBIND_SIMD_SCALAR)
#include "backend_sse2.h"
namespace noisebind::simd::detail {
using PortableBackend = sse2::Backend;
}
#else
#include "backend_scalar.h"
namespace noisebind::simd::detail {
using PortableBackend = scalar::Backend;
}
#endif
#include "kernels.h"

namespace noisebind::simd::detail {

const KernelTable kPortableKernels = Kernels<PortableBackend>::kTable;

}  // namespace noisebind::simd::detail
