// Graph files: noise graphs as JSON documents, written exactly (every double
// reads back to the same bits) and canonically (the same graph gives the
// same text), read back without trusting the text. Lua-free: the Lua
// binding (lua/graphfile/graphfile_binding.cpp) and the command share it. The
// format is described in docs/graph-files.md.
#ifndef NOISEBIND_OBJECTS_GRAPHFILE_GRAPH_FILE_H
#define NOISEBIND_OBJECTS_GRAPHFILE_GRAPH_FILE_H

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/graph/node.h"

namespace noisebind::graphfile {

// The format's name and the newest version this code reads and writes.
constexpr char kFormatName[] = "noisebind-graph";
constexpr int kFormatVersion = 1;

// What a document may hold: text longer than this, more nodes, or objects
// and arrays nested deeper are refused before anything is built.
constexpr std::size_t kMaxDocumentBytes = 4 * 1024 * 1024;
constexpr std::size_t kMaxNodes = 10000;
constexpr int kMaxNesting = 8;
// Ids and output names: from 1 to this many bytes.
constexpr std::size_t kMaxNameBytes = 128;

struct NodeDeleter {
  void operator()(objects::Node* node) const noexcept;  // DestroyNode
};
using NodePtr = std::unique_ptr<objects::Node, NodeDeleter>;

// A decoded document: it owns every node.
struct Graph {
  // Sources before their users: in the file's order where it is so.
  std::vector<NodePtr> nodes;
  std::vector<std::string> ids;                              // ids[i] is the id of nodes[i]
  std::vector<std::pair<std::string, std::size_t>> outputs;  // name -> index in nodes, by name
  // The node of the output called `name`, or null.
  const objects::Node* Output(std::string_view name) const;
};

// Reads a document. Never throws. False, with one line in *error naming the
// place ("12:20: ..." for JSON syntax, "node 'hills': Perlin.octaves must be
// an integer from 1 to 30, got 31" for a bad node), and *graph empty:
// nothing half-built. The caller prefixes the file name. Every node gets its
// id as its label (Node::label), except the ids Encode makes up (those with
// a '#'), which leave the node unlabelled.
bool Decode(std::string_view text, Graph* graph, std::string* error);

struct Output {
  std::string name;
  const objects::Node* node;
};

struct EncodeOptions {
  bool compact = false;  // no spaces or line breaks; else indented by two
};

// Writes the graphs of `outputs` (written by name, each name once) as one
// document, every node once, sources before their users. `idOf` gives the
// user's name of a node (e.g. its Node::label), or empty for none: then an
// id "Class#n" is made up.
// Never throws; false with one line in *error (a name refused, two nodes of
// one name, a graph too deep or too large for the decoder).
bool Encode(const std::vector<Output>& outputs,
            const std::function<std::string(const objects::Node&)>& idOf,
            const EncodeOptions& options, std::string* text, std::string* error);

// Why `name` cannot be a node's name or an output's, or null.
const char* CheckName(std::string_view name);

// The schema of every class (its description, sources with their roles,
// fields with type, default, range and description) as JSON text. May throw
// std::bad_alloc.
std::string SchemaJson(bool compact = false);

}  // namespace noisebind::graphfile

#endif  // NOISEBIND_OBJECTS_GRAPHFILE_GRAPH_FILE_H
