// Evaluates one block of points with one generator on one forced path, and
// then a graph over it (when the input holds one) at the same points, as a
// whole and point by point; aborts unless every value is libnoise's own
// GetValue at that point (NaN for NaN), which the fuzzer reports as a
// finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "batch_graph.h"
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

void CheckGraph(const BatchCase& c, const BatchGraph& graph) {
  if (graph.nodes.empty()) return;
  const objects::Node& root = *graph.nodes.back();
  std::string why;
  if (!root.Evaluable(&why)) return;
  const simd::testing::Cloud& p = c.points;
  const std::size_t count = p.x.size();
  std::vector<double> batch(count);
  root.GetValues(p.x.data(), p.y.data(), p.z.data(), count, batch.data());
  for (std::size_t i = 0; i < count; ++i) {
    const double expected = root.module().GetValue(p.x[i], p.y[i], p.z[i]);
    double single = 0;
    root.GetValues(&p.x[i], &p.y[i], &p.z[i], 1, &single);
    for (const double actual : {batch[i], single}) {
      if (simd::testing::SameValue(expected, actual)) continue;
      std::fprintf(stderr, "batch graph check failed: %s\n", graph.Describe().c_str());
      Mismatch(c, i, expected, actual);
    }
  }
}

}  // namespace
}  // namespace noisebind::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  noisebind::fuzz::ByteReader reader(data, size);
  const noisebind::fuzz::BatchCase c = noisebind::fuzz::ReadBatchCase(reader);
  noisebind::fuzz::Check(c);
  noisebind::fuzz::CheckGraph(c, noisebind::fuzz::ReadBatchGraph(reader, c));
  return 0;
}
