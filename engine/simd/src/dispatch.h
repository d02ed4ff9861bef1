// The kernels of the path chosen now (see isa.h).
#ifndef NOISEBIND_SIMD_DISPATCH_H
#define NOISEBIND_SIMD_DISPATCH_H

#include "kernel_table.h"

namespace noisebind::simd::detail {

const KernelTable& ActiveKernels();

}  // namespace noisebind::simd::detail

#endif
