// Evaluates one block of points with one generator on one forced path, and
// aborts unless every batch value is libnoise's own GetValue at that point
// (NaN for NaN), which the fuzzer reports as a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "batch_input.h"

namespace noisebind::fuzz {
namespace {

using simd::testing::Bits;

[[noreturn]] void Mismatch(const BatchCase& c, std::size_t i, double expected, double actual) {
  std::fprintf(stderr,
               "batch check failed: %s on %s with %s at point %zu of %zu (%s, %s, %s): "
               "libnoise %s, batch %s\n",
               c.subject->name, simd::IsaName(c.path), simd::testing::Describe(c.settings).c_str(),
               i, c.points.x.size(), Bits(c.points.x[i]).c_str(), Bits(c.points.y[i]).c_str(),
               Bits(c.points.z[i]).c_str(), Bits(expected).c_str(), Bits(actual).c_str());
  std::fflush(stderr);
  std::abort();
}

void Check(const BatchCase& c) {
  const auto module = c.subject->make(c.settings);
  if (!simd::ForceIsa(c.path)) {
    std::fprintf(stderr, "batch check failed: %s refused\n", simd::IsaName(c.path));
    std::abort();
  }
  // Exactly as long as the block, so that AddressSanitizer sees any overrun.
  std::vector<double> batch(c.points.x.size());
  c.subject->batch(*module, c.points.View(), batch.data());
  for (std::size_t i = 0; i < batch.size(); ++i) {
    const double expected = module->GetValue(c.points.x[i], c.points.y[i], c.points.z[i]);
    if (!simd::testing::SameValue(expected, batch[i])) Mismatch(c, i, expected, batch[i]);
  }
}

}  // namespace
}  // namespace noisebind::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  noisebind::fuzz::ByteReader reader(data, size);
  noisebind::fuzz::Check(noisebind::fuzz::ReadBatchCase(reader));
  return 0;
}
