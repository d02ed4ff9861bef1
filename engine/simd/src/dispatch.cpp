#include "dispatch.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "noisebind/simd/isa.h"

namespace noisebind::simd {
namespace {

struct Path {
  Isa isa;
  const char* name;
  const detail::KernelTable* kernels;  // null where the build lacks the path
};

// From slowest to fastest.
constexpr Path kPaths[] = {
    {Isa::portable, "portable", &detail::kPortableKernels},
#if defined(__x86_64__)
    {Isa::avx2, "avx2", &detail::kAvx2Kernels},
    {Isa::avx512, "avx512", &detail::kAvx512Kernels},
#else
    {Isa::avx2, "avx2", nullptr},
    {Isa::avx512, "avx512", nullptr},
#endif
};

const Path& PathOf(Isa isa) {
  return kPaths[static_cast<int>(isa)];
}

bool CpuRuns(Isa isa) {
#if defined(__x86_64__)
  // GCC's checks include the operating system's support for the registers.
  __builtin_cpu_init();
  switch (isa) {
    case Isa::portable:
      return true;
    case Isa::avx2:
      return __builtin_cpu_supports("avx2");
    case Isa::avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
  }
  return false;
#else
  return isa == Isa::portable;
#endif
}

constexpr int kUnchosen = -1;
std::atomic<int> g_active{kUnchosen};

// The path NOISEBIND_SIMD asks for, and whether the request was refused.
Isa EnvironmentChoice(bool& refused) {
  refused = false;
  const char* value = std::getenv("NOISEBIND_SIMD");
  if (value == nullptr || *value == '\0' || std::string_view(value) == "auto") return BestIsa();
  const std::optional<Isa> isa = ParseIsa(value);
  if (isa && IsaSupported(*isa)) return *isa;
  refused = true;
  return BestIsa();
}

void WarnRefused() {
  std::fprintf(stderr,
               "noisebind: NOISEBIND_SIMD=%s refused (not a path this processor runs); using %s\n",
               std::getenv("NOISEBIND_SIMD"), IsaName(BestIsa()));
}

}  // namespace

const char* IsaName(Isa isa) {
  return PathOf(isa).name;
}

std::optional<Isa> ParseIsa(std::string_view name) {
  for (const Path& path : kPaths) {
    if (name == path.name) return path.isa;
  }
  return std::nullopt;
}

bool IsaSupported(Isa isa) {
  return PathOf(isa).kernels != nullptr && CpuRuns(isa);
}

Isa BestIsa() {
  Isa best = Isa::portable;
  for (const Path& path : kPaths) {
    if (IsaSupported(path.isa)) best = path.isa;
  }
  return best;
}

Isa ActiveIsa() {
  int active = g_active.load(std::memory_order_acquire);
  if (active == kUnchosen) {
    bool refused = false;
    const int chosen = static_cast<int>(EnvironmentChoice(refused));
    // Only the first thread to choose reports a refusal.
    if (g_active.compare_exchange_strong(active, chosen, std::memory_order_acq_rel)) {
      active = chosen;
      if (refused) WarnRefused();
    }
  }
  return static_cast<Isa>(active);
}

bool ForceIsa(Isa isa) {
  if (!IsaSupported(isa)) return false;
  g_active.store(static_cast<int>(isa), std::memory_order_release);
  return true;
}

void ResetIsa() {
  bool refused = false;
  g_active.store(static_cast<int>(EnvironmentChoice(refused)), std::memory_order_release);
  if (refused) WarnRefused();
}

namespace detail {

const KernelTable& ActiveKernels() {
  return *PathOf(ActiveIsa()).kernels;
}

}  // namespace detail
}  // namespace noisebind::simd
