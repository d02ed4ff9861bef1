#include "batch_graph.h"

#include <cstring>

#include "engine/graph/curve_terrace_points.h"

namespace noisebind::fuzz {
namespace {

using objects::Field;
using objects::FieldType;
using objects::Kind;
using objects::Node;

void Set(Node& node, const char* name, double value) {
  if (const Field* field = objects::FindField(objects::ClassOf(node.kind()), name)) {
    objects::SetField(node, *field, value);  // a refused value keeps libnoise's default
  }
}

// The case's generator as a node with the case's settings.
Node* Generator(const BatchCase& c) {
  for (int k = 0; k < objects::kKindCount; ++k) {
    const auto kind = static_cast<Kind>(k);
    if (std::strcmp(objects::KindName(kind), c.subject->name) != 0) continue;
    Node* node = objects::CreateNode(kind);
    if (node == nullptr) return nullptr;
    const simd::testing::GeneratorSettings& s = c.settings;
    Set(*node, "frequency", s.frequency);
    Set(*node, "lacunarity", s.lacunarity);
    Set(*node, "persistence", s.persistence);
    Set(*node, "octaves", s.octaves);
    Set(*node, "seed", s.seed);
    Set(*node, "quality", static_cast<int>(s.quality));
    Set(*node, "displacement", s.displacement);
    Set(*node, "distance", s.distance ? 1 : 0);
    Set(*node, "value", s.constant);
    return node;
  }
  return nullptr;
}

void ReadSettings(ByteReader& reader, Node& node) {
  const objects::ClassInfo& info = objects::ClassOf(node.kind());
  for (std::size_t f = 0; f < info.fieldCount; ++f) {
    const Field& field = info.fields[f];
    double value = 0;
    switch (field.type) {
      case FieldType::kNumber:
        value = ReadBatchNumber(reader);
        break;
      case FieldType::kInteger:
        value = std::strcmp(field.name, "seed") == 0 ? reader.Raw<std::int32_t>()
                                                     : 1 + reader.Byte() % 8;
        break;
      case FieldType::kBoolean:
        value = reader.Byte() & 1;
        break;
      case FieldType::kQuality:
        value = reader.Byte() % 4;
        break;
    }
    objects::SetField(node, field, value);
  }
  const bool curve = node.kind() == Kind::kCurve;
  if (!curve && node.kind() != Kind::kTerrace) return;
  const std::size_t count = (curve ? 4 : 2) + reader.Byte() % 6;
  std::vector<double> inputs(count), outputs(count);
  for (std::size_t i = 0; i < count; ++i) {
    inputs[i] = ReadBatchNumber(reader);
    outputs[i] = ReadBatchNumber(reader);
  }
  // Refused points (two alike) leave the graph not evaluable: not checked.
  if (curve) {
    objects::SetCurvePoints(node, inputs.data(), outputs.data(), count);
  } else {
    objects::SetTerracePoints(node, inputs.data(), count);
  }
}

}  // namespace

BatchGraph ReadBatchGraph(ByteReader& reader, const BatchCase& c) {
  BatchGraph graph;
  const int count = reader.Byte() % (kMaxGraphNodes + 1);
  if (count == 0) return graph;
  graph.nodes.emplace_back(Generator(c));
  if (graph.nodes.back() == nullptr) return {};
  // What libnoise's GetValue evaluates per point at each node.
  std::vector<int> reads{1};
  for (int i = 1; i < count; ++i) {
    const auto kind = static_cast<Kind>(reader.Byte() % objects::kKindCount);
    std::unique_ptr<Node, NodeDeleter> node(objects::CreateNode(kind));
    if (node == nullptr) break;
    int total = 1;
    for (int s = 0; s < node->SourceCount(); ++s) {
      const std::size_t pick = reader.Byte() % graph.nodes.size();
      node->SetSource(s, graph.nodes[pick].get());
      total += reads[pick];
    }
    if (total > kMaxGraphReads) break;
    ReadSettings(reader, *node);
    graph.nodes.push_back(std::move(node));
    reads.push_back(total);
  }
  return graph;
}

std::string BatchGraph::Describe() const {
  std::string text;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    text += std::to_string(i) + ":" + nodes[i]->name() + "(";
    for (int s = 0; s < nodes[i]->SourceCount(); ++s) {
      for (std::size_t j = 0; j < i; ++j) {
        if (nodes[j].get() == nodes[i]->source(s)) text += (s ? "," : "") + std::to_string(j);
      }
    }
    text += ") ";
  }
  return text;
}

}  // namespace noisebind::fuzz
