// What the studio needs of graph files: the schema, and documents decoded
// into nodes it can evaluate. The server holds one codec; the graph-file
// engine provides it, and tests may give a small one of their own.
#ifndef NOISEBIND_STUDIO_GRAPH_CODEC_H
#define NOISEBIND_STUDIO_GRAPH_CODEC_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/graph/node.h"

namespace noisebind::studio {

// A graph decoded from a document: it owns its nodes.
class DecodedGraph {
 public:
  virtual ~DecodedGraph() = default;
  // The node with this id, or null.
  virtual const objects::Node* FindNode(const std::string& id) const = 0;
  // The output with this name, or null.
  virtual const objects::Node* FindOutput(const std::string& name) const = 0;
  // Every node with its id, in the document's order.
  virtual std::vector<std::pair<std::string, const objects::Node*>> Nodes() const = 0;
};

class GraphCodec {
 public:
  virtual ~GraphCodec() = default;
  // The schema of every class, as JSON text.
  virtual std::string SchemaJson() const = 0;
  // The document of a new, empty graph.
  virtual std::string EmptyDocument() const = 0;
  // Decodes `text`; false with the reason (one line) when it is refused.
  // `name` is what messages call the document.
  virtual bool Decode(const std::string& text, const std::string& name,
                      std::unique_ptr<DecodedGraph>* graph, std::string* error) const = 0;
  // The canonical text of the document `text`, as it is saved; false with
  // the reason when it is refused.
  virtual bool Canonical(const std::string& text, const std::string& name, std::string* out,
                         std::string* error) const = 0;
};

}  // namespace noisebind::studio

#endif  // NOISEBIND_STUDIO_GRAPH_CODEC_H
