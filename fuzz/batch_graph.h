// A noise graph over the case's generator, read from the bytes after its
// points, so that the batch fuzzer checks whole graphs too: nodes read by
// several others, under and above transformers and selectors.
#ifndef NOISEBIND_FUZZ_BATCH_GRAPH_H
#define NOISEBIND_FUZZ_BATCH_GRAPH_H

#include <memory>
#include <string>
#include <vector>

#include "batch_input.h"
#include "engine/graph/classes.h"

namespace noisebind::fuzz {

// Bounds what libnoise's reference costs: it evaluates a node once per read.
constexpr int kMaxGraphNodes = 24;
constexpr int kMaxGraphReads = 512;

struct NodeDeleter {
  void operator()(objects::Node* node) const { objects::DestroyNode(node); }
};

struct BatchGraph {
  // The generator first, the root last; empty when the input has no graph.
  std::vector<std::unique_ptr<objects::Node, NodeDeleter>> nodes;
  std::string Describe() const;
};

// Byte layout: a node count (0: no graph), then per node a kind, a byte per
// source choosing among the nodes made before it, and its settings in the
// order of its fields (numbers as batch_input.h reads them, seeds 4 raw
// bytes, octave counts 1 to 8, switches and qualities a byte), then for
// Curve and Terrace a count and the points. The first node is the case's
// generator with its settings. A node whose reads would pass
// kMaxGraphReads ends the graph.
BatchGraph ReadBatchGraph(ByteReader& reader, const BatchCase& c);

}  // namespace noisebind::fuzz

#endif  // NOISEBIND_FUZZ_BATCH_GRAPH_H
