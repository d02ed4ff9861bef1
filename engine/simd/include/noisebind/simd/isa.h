// Which instruction set the batch kernels run on. By default the best one the
// processor has; the environment variable NOISEBIND_SIMD (portable, avx2,
// avx512 or auto), read at the first evaluation, or ForceIsa choose another.
#ifndef NOISEBIND_SIMD_ISA_H
#define NOISEBIND_SIMD_ISA_H

#include <optional>
#include <string_view>

namespace noisebind::simd {

// Every path gives the same bits; they differ only in speed.
enum class Isa {
  portable,  // any processor: SSE2 (two points at a time) on x86-64, else plain C++
  avx2,      // four points at a time
  avx512,    // eight points at a time (AVX-512 F, VL and DQ)
};

const char* IsaName(Isa isa);
std::optional<Isa> ParseIsa(std::string_view name);

// Whether this build has the path and this processor can run it.
bool IsaSupported(Isa isa);

// The fastest supported path: what runs unless something else is chosen.
Isa BestIsa();

// The path evaluations use now.
Isa ActiveIsa();

// Makes every later evaluation, from every thread, use `isa`. Returns false,
// changing nothing, when the processor or the build cannot run it.
bool ForceIsa(Isa isa);

// Back to the choice of NOISEBIND_SIMD, or BestIsa when it is unset or "auto".
// An unknown or unsupported value there is refused: a warning on standard
// error, and BestIsa.
void ResetIsa();

}  // namespace noisebind::simd

#endif
