// The graph-file decoder over any text: it must refuse or build, never
// crash, read out of bounds or leak (AddressSanitizer), and what it builds
// must write back canonically: encoding the decoded graph, decoding that
// text and encoding again gives the same text, and both graphs give the
// same bits at a few points.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/graphfile/graph_file.h"

namespace {

using noisebind::graphfile::Graph;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "graph decode fuzzer: %s: %s\n", what, detail.c_str());
  std::abort();
}

std::string Encoded(const Graph& graph) {
  std::vector<noisebind::graphfile::Output> outputs;
  for (const auto& output : graph.outputs) {
    outputs.push_back({output.first, graph.nodes[output.second].get()});
  }
  std::string text;
  std::string error;
  const bool encoded = noisebind::graphfile::Encode(
      outputs, [](const noisebind::objects::Node& node) { return node.label(); }, {}, &text,
      &error);
  if (!encoded) Fail("a decoded graph does not encode", error);
  return text;
}

// The values of every evaluable output at a few points, bit patterns and all.
std::vector<std::uint64_t> Values(const Graph& graph) {
  static const double kX[] = {0.0, -1.25, 3.5, 1e6, -0.0};
  static const double kY[] = {0.0, 0.75, -2.0, 7.0, 1e-300};
  static const double kZ[] = {0.0, 2.5, 0.125, -1e6, 5.0};
  constexpr std::size_t kCount = sizeof kX / sizeof kX[0];
  std::vector<std::uint64_t> bits;
  for (const auto& output : graph.outputs) {
    const noisebind::objects::Node& node = *graph.nodes[output.second];
    std::string why;
    if (!node.Evaluable(&why)) continue;
    double out[kCount];
    node.GetValues(kX, kY, kZ, kCount, out);
    for (double value : out) {
      std::uint64_t pattern = 0;
      // NaNs may differ in payload only where libnoise itself would.
      if (!std::isnan(value)) std::memcpy(&pattern, &value, sizeof pattern);
      bits.push_back(pattern);
    }
  }
  return bits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Graph graph;
  std::string error;
  if (!noisebind::graphfile::Decode(text, &graph, &error)) {
    if (error.empty() || error.find('\n') != std::string::npos) Fail("not one line", error);
    if (!graph.nodes.empty() || !graph.outputs.empty()) Fail("half-built graph", error);
    return 0;
  }
  const std::string first = Encoded(graph);
  Graph again;
  if (!noisebind::graphfile::Decode(first, &again, &error)) Fail("encoded text refused", error);
  if (Encoded(again) != first) Fail("not canonical", first);
  if (Values(graph) != Values(again)) Fail("values differ after a round trip", first);
  return 0;
}
