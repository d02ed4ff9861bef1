// The writer: nodes depth-first from the outputs in name order, sources in
// index order, so that the same graph always gives the same text.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "engine/graph/classes.h"
#include "engine/graph/curve_terrace_points.h"
#include "engine/graphfile/graph_file.h"
#include "engine/graphfile/json_text.h"

namespace noisebind::graphfile {
namespace {

using objects::ClassInfo;
using objects::ClassOf;
using objects::Field;
using objects::FieldType;
using objects::Kind;
using objects::Node;

// Text laid out compact or indented by two spaces a level.
class Writer {
 public:
  Writer(std::string* out, bool compact) : m_out(out), m_compact(compact) {}

  void Open(char bracket) {
    m_out->push_back(bracket);
    ++m_level;
    m_first = true;
  }
  void Close(char bracket) {
    --m_level;
    if (!m_first) Break();
    m_out->push_back(bracket);
    m_first = false;
  }
  // Starts an item of the open object or array: ",", a line break, indent.
  void Item() {
    if (!m_first) m_out->push_back(',');
    Break();
    m_first = false;
  }
  void Key(std::string_view key) {
    Item();
    AppendString(m_out, key);
    m_out->append(m_compact ? ":" : ": ");
  }
  // Between the items of a list on one line: [1, 2] rather than a column.
  void Comma() { m_out->append(m_compact ? "," : ", "); }
  std::string& out() { return *m_out; }

 private:
  void Break() {
    if (m_compact) return;
    m_out->push_back('\n');
    m_out->append(static_cast<std::size_t>(2 * m_level), ' ');
  }

  std::string* m_out;
  bool m_compact;
  int m_level = 0;
  bool m_first = true;
};

struct Ordered {
  std::vector<const Node*> nodes;  // sources before their users
  std::unordered_map<const Node*, std::size_t> index;
};

// Depth-first from each root, without recursion; false when a graph is
// deeper than the decoder takes or there are more nodes than it takes.
bool Order(const std::vector<const Output*>& outputs, Ordered* ordered, std::string* error) {
  struct Frame {
    const Node* node;
    int next;
  };
  std::unordered_map<const Node*, int> depth;
  for (const Output* output : outputs) {
    if (depth.count(output->node) != 0) continue;
    std::vector<Frame> stack{{output->node, 0}};
    while (!stack.empty()) {
      Frame& frame = stack.back();
      const Node* node = frame.node;
      if (frame.next < node->SourceCount()) {
        const Node* source = node->source(frame.next++);
        if (source != nullptr && depth.count(source) == 0) stack.push_back({source, 0});
        continue;
      }
      int deepest = 0;
      for (int i = 0; i < node->SourceCount(); ++i) {
        if (node->source(i) != nullptr) deepest = std::max(deepest, depth[node->source(i)]);
      }
      if (deepest + 1 > objects::kMaxGraphDepth) {
        *error = "output '" + output->name + "': the graph is deeper than " +
                 std::to_string(objects::kMaxGraphDepth) + " modules";
        return false;
      }
      depth[node] = deepest + 1;
      ordered->index[node] = ordered->nodes.size();
      ordered->nodes.push_back(node);
      if (ordered->nodes.size() > kMaxNodes) {
        *error = "the graph has more than " + std::to_string(kMaxNodes) + " nodes";
        return false;
      }
      stack.pop_back();
    }
  }
  return true;
}

// Each node's id: its name, or "Class#n" in node order for the unnamed.
bool MakeIds(const Ordered& ordered, const std::function<std::string(const Node&)>& idOf,
             std::vector<std::string>* ids, std::string* error) {
  std::unordered_map<std::string, const Node*> named;
  int made[objects::kKindCount] = {};
  for (const Node* node : ordered.nodes) {
    std::string id = idOf(*node);
    if (id.empty()) {
      id = std::string(node->name()) + "#" + std::to_string(++made[static_cast<int>(node->kind())]);
    } else if (const char* refused = CheckName(id)) {
      *error = std::string("a ") + node->name() + " is named '" + id.substr(0, kMaxNameBytes) +
               "', which " + refused;
      return false;
    } else if (!named.emplace(id, node).second) {
      *error = "two nodes are named '" + id + "'";
      return false;
    }
    ids->push_back(std::move(id));
  }
  return true;
}

void WriteFields(Writer& w, const Node& node) {
  const ClassInfo& info = ClassOf(node.kind());
  w.Key("fields");
  w.Open('{');
  for (std::size_t f = 0; f < info.fieldCount; ++f) {
    const Field& field = info.fields[f];
    const double value = field.get(node);
    w.Key(field.name);
    switch (field.type) {
      case FieldType::kBoolean:
        w.out().append(value != 0.0 ? "true" : "false");
        break;
      case FieldType::kQuality:
        AppendString(&w.out(), objects::QualityName(static_cast<int>(value)));
        break;
      case FieldType::kInteger:
        w.out().append(std::to_string(static_cast<long long>(value)));
        break;
      case FieldType::kNumber:
        AppendNumber(&w.out(), value);
        break;
    }
  }
  if (node.kind() == Kind::kCurve) {
    w.Key("points");
    w.Open('[');
    for (std::size_t i = 0; i < objects::CurvePointCount(node); ++i) {
      double input = 0.0;
      double output = 0.0;
      objects::CurvePoint(node, i, &input, &output);
      w.Item();
      w.out().push_back('[');
      AppendNumber(&w.out(), input);
      w.Comma();
      AppendNumber(&w.out(), output);
      w.out().push_back(']');
    }
    w.Close(']');
  } else if (node.kind() == Kind::kTerrace) {
    w.Key("points");
    w.out().push_back('[');
    for (std::size_t i = 0; i < objects::TerracePointCount(node); ++i) {
      if (i > 0) w.Comma();
      AppendNumber(&w.out(), objects::TerracePoint(node, i));
    }
    w.out().push_back(']');
  }
  w.Close('}');
}

void WriteNode(Writer& w, const Node& node, const std::string& id, const Ordered& ordered,
               const std::vector<std::string>& ids) {
  w.Item();
  w.Open('{');
  w.Key("id");
  AppendString(&w.out(), id);
  w.Key("class");
  AppendString(&w.out(), node.name());
  w.Key("sources");
  w.out().push_back('[');
  for (int i = 0; i < node.SourceCount(); ++i) {
    if (i > 0) w.Comma();
    const Node* source = node.source(i);
    if (source == nullptr) {
      w.out().append("null");
    } else {
      AppendString(&w.out(), ids[ordered.index.at(source)]);
    }
  }
  w.out().push_back(']');
  WriteFields(w, node);
  w.Close('}');
}

bool EncodeOrThrow(const std::vector<Output>& outputs,
                   const std::function<std::string(const Node&)>& idOf,
                   const EncodeOptions& options, std::string* text, std::string* error) {
  std::vector<const Output*> sorted;
  for (const Output& output : outputs) sorted.push_back(&output);
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Output* a, const Output* b) { return a->name < b->name; });
  if (sorted.empty()) {
    *error = "there are no outputs to write";
    return false;
  }
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    const std::string& name = sorted[i]->name;
    if (const char* refused = CheckName(name)) {
      *error = "the output name '" + name.substr(0, kMaxNameBytes) + "' " + refused;
      return false;
    }
    if (i > 0 && sorted[i - 1]->name == name) {
      *error = "two outputs are named '" + name + "'";
      return false;
    }
    if (sorted[i]->node == nullptr) {
      *error = "output '" + name + "' has no node";
      return false;
    }
  }
  Ordered ordered;
  std::vector<std::string> ids;
  if (!Order(sorted, &ordered, error) || !MakeIds(ordered, idOf, &ids, error)) return false;

  std::string out;
  Writer w(&out, options.compact);
  w.Open('{');
  w.Key("format");
  AppendString(&out, kFormatName);
  w.Key("version");
  out.append(std::to_string(kFormatVersion));
  w.Key("nodes");
  w.Open('[');
  for (std::size_t i = 0; i < ordered.nodes.size(); ++i) {
    WriteNode(w, *ordered.nodes[i], ids[i], ordered, ids);
  }
  w.Close(']');
  w.Key("outputs");
  w.Open('{');
  for (const Output* output : sorted) {
    w.Key(output->name);
    AppendString(&out, ids[ordered.index.at(output->node)]);
  }
  w.Close('}');
  w.Close('}');
  if (!options.compact) out.push_back('\n');
  *text = std::move(out);
  return true;
}

}  // namespace

const char* CheckName(std::string_view name) {
  if (name.empty()) return "must not be empty";
  if (name.size() > kMaxNameBytes) return "is longer than 128 bytes";
  if (!IsUtf8(name)) return "is not UTF-8 text";
  if (name.find('#') != std::string_view::npos) {
    return "has a '#', which marks the ids noisebind makes up";
  }
  return nullptr;
}

bool Encode(const std::vector<Output>& outputs,
            const std::function<std::string(const objects::Node&)>& idOf,
            const EncodeOptions& options, std::string* text, std::string* error) {
  try {
    return EncodeOrThrow(outputs, idOf, options, text, error);
  } catch (...) {
    try {
      *error = "not enough memory";
    } catch (...) {
    }
  }
  return false;
}

}  // namespace noisebind::graphfile
