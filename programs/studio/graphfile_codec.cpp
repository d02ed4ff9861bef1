#include "programs/studio/graphfile_codec.h"

#include <unordered_map>

#include "engine/graphfile/graph_file.h"

namespace noisebind::studio {
namespace {

class FileGraph final : public DecodedGraph {
 public:
  explicit FileGraph(graphfile::Graph graph) : m_graph(std::move(graph)) {
    for (std::size_t i = 0; i < m_graph.ids.size(); ++i) m_byId[m_graph.ids[i]] = i;
  }

  const objects::Node* FindNode(const std::string& id) const override {
    const auto found = m_byId.find(id);
    return found == m_byId.end() ? nullptr : m_graph.nodes[found->second].get();
  }

  const objects::Node* FindOutput(const std::string& name) const override {
    return m_graph.Output(name);
  }

  std::vector<std::pair<std::string, const objects::Node*>> Nodes() const override {
    std::vector<std::pair<std::string, const objects::Node*>> nodes;
    for (std::size_t i = 0; i < m_graph.nodes.size(); ++i) {
      nodes.emplace_back(m_graph.ids[i], m_graph.nodes[i].get());
    }
    return nodes;
  }

  const graphfile::Graph& graph() const { return m_graph; }

 private:
  graphfile::Graph m_graph;
  std::unordered_map<std::string, std::size_t> m_byId;
};

}  // namespace

std::string GraphFileCodec::SchemaJson() const {
  return graphfile::SchemaJson(true);
}

std::string GraphFileCodec::EmptyDocument() const {
  return std::string("{\n  \"format\": \"") + graphfile::kFormatName +
         "\",\n  \"version\": " + std::to_string(graphfile::kFormatVersion) +
         ",\n  \"nodes\": [],\n  \"outputs\": {}\n}\n";
}

bool GraphFileCodec::Decode(const std::string& text, const std::string& name,
                            std::unique_ptr<DecodedGraph>* graph, std::string* error) const {
  graphfile::Graph decoded;
  if (!graphfile::Decode(text, &decoded, error)) {
    *error =
        name + ":" + (error->empty() || (*error)[0] < '0' || (*error)[0] > '9' ? " " : "") + *error;
    return false;
  }
  *graph = std::make_unique<FileGraph>(std::move(decoded));
  return true;
}

bool GraphFileCodec::Canonical(const std::string& text, const std::string& name, std::string* out,
                               std::string* error) const {
  std::unique_ptr<DecodedGraph> decoded;
  if (!Decode(text, name, &decoded, error)) return false;
  const graphfile::Graph& graph = static_cast<const FileGraph&>(*decoded).graph();
  std::unordered_map<const objects::Node*, std::string> ids;
  for (std::size_t i = 0; i < graph.nodes.size(); ++i) {
    // Made-up ids ("Perlin#2") are made up again, in the written order.
    if (graph.ids[i].find('#') == std::string::npos) ids[graph.nodes[i].get()] = graph.ids[i];
  }
  std::vector<graphfile::Output> outputs;
  for (const auto& [outputName, index] : graph.outputs) {
    outputs.push_back({outputName, graph.nodes[index].get()});
  }
  const auto idOf = [&ids](const objects::Node& node) {
    const auto found = ids.find(&node);
    return found == ids.end() ? std::string() : found->second;
  };
  if (!graphfile::Encode(outputs, idOf, graphfile::EncodeOptions{}, out, error)) {
    *error = name + ": " + *error;
    return false;
  }
  return true;
}

}  // namespace noisebind::studio
