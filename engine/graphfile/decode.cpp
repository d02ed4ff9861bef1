// The reader: JSON parsed by nlohmann's parser into a document whose size
// and nesting are bounded, then checked whole before a graph is handed out.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <nlohmann/json.hpp>
#include <unordered_map>
#include <unordered_set>

#include "engine/graph/classes.h"
#include "engine/graph/curve_terrace_points.h"
#include "engine/graphfile/graph_file.h"
#include "engine/graphfile/json_text.h"

namespace noisebind::graphfile {
namespace {

using Json = nlohmann::json;
using objects::ClassInfo;
using objects::ClassOf;
using objects::Field;
using objects::FieldType;
using objects::Kind;
using objects::Node;

// A refusal found while checking: thrown to the one catch in Decode, so that
// each check reads as one line.
struct Refusal {
  std::string message;
};

[[noreturn]] void Refuse(std::string message) {
  throw Refusal{std::move(message)};
}

// Messages quote what the document holds, cut short.
std::string Quoted(std::string_view text) {
  constexpr std::size_t kLongest = 64;
  std::string quoted = "'";
  quoted.append(text.substr(0, kLongest));
  if (text.size() > kLongest) quoted.append("...");
  return quoted + "'";
}

// What a value is, for "got ..." in messages: numbers as themselves.
std::string Shown(const Json& value) {
  if (value.is_number()) return NumberText(value.get<double>());
  if (value.is_string()) return "string " + Quoted(value.get_ref<const std::string&>());
  return value.type_name();
}

// Refuses objects and arrays nested deeper than the format's, and keys
// given twice in one object (JSON leaves it open which one counts).
class Limits {
 public:
  bool operator()(int, Json::parse_event_t event, Json& parsed) {
    switch (event) {
      case Json::parse_event_t::object_start:
      case Json::parse_event_t::array_start:
        if (m_keys.size() >= static_cast<std::size_t>(kMaxNesting)) {
          Refuse("the document nests lists and objects deeper than " + std::to_string(kMaxNesting) +
                 " levels");
        }
        m_keys.emplace_back();
        break;
      case Json::parse_event_t::object_end:
      case Json::parse_event_t::array_end:
        m_keys.pop_back();
        break;
      case Json::parse_event_t::key:
        if (!m_keys.back().insert(parsed.get<std::string>()).second) {
          Refuse("the key " + Quoted(parsed.get_ref<const std::string&>()) +
                 " is given twice in one object");
        }
        break;
      default:
        break;
    }
    return true;
  }

 private:
  std::vector<std::unordered_set<std::string>> m_keys;
};

// "12:20: syntax error ..." from nlohmann's "[...] parse error at line 12,
// column 20: syntax error ...".
std::string SyntaxError(const Json::parse_error& failure) {
  const std::string what = failure.what();
  const std::size_t line = what.find("line ");
  const std::size_t column = what.find(", column ");
  const std::size_t reason = what.find(": ", column == std::string::npos ? 0 : column);
  std::string message;
  if (line != std::string::npos && column != std::string::npos && reason != std::string::npos) {
    message = what.substr(line + 5, column - line - 5) + ":" +
              what.substr(column + 9, reason - column - 9) + ": " + what.substr(reason + 2);
  } else {
    message = what;
  }
  constexpr std::size_t kLongest = 200;
  if (message.size() > kLongest) message = message.substr(0, kLongest) + "...";
  return message;
}

const Json* Member(const Json& object, const char* key) {
  const auto found = object.find(key);
  return found != object.end() ? &*found : nullptr;
}

// An empty list stands for an empty object: Lua tables cannot tell them apart.
bool IsObject(const Json& value) {
  return value.is_object() || (value.is_array() && value.empty());
}

void CheckKeys(const Json& object, std::initializer_list<const char*> keys,
               const std::string& where) {
  if (!object.is_object()) return;
  for (auto item = object.begin(); item != object.end(); ++item) {
    if (std::none_of(keys.begin(), keys.end(), [&](const char* k) { return item.key() == k; })) {
      Refuse(where + "unknown key " + Quoted(item.key()));
    }
  }
}

std::string NodeWhere(const std::string& id) {
  return "node " + Quoted(id) + ": ";
}

// An integer, also when written as 4.0 or 4e0.
bool IsWhole(const Json& value) {
  if (value.is_number_integer()) return true;
  if (!value.is_number_float()) return false;
  const double number = value.get<double>();
  return std::isfinite(number) && std::trunc(number) == number;
}

void CheckFormat(const Json& document) {
  if (!document.is_object())
    Refuse(std::string("the document must be an object, got ") + document.type_name());
  CheckKeys(document, {"format", "version", "nodes", "outputs"}, "the document: ");
  const Json* format = Member(document, "format");
  if (format == nullptr || !format->is_string() || *format != kFormatName) {
    Refuse(std::string("not a graph file: 'format' must be \"") + kFormatName + "\"");
  }
  const Json* version = Member(document, "version");
  if (version == nullptr) Refuse("the document has no 'version'");
  if (!IsWhole(*version) || version->get<double>() < 1) {
    Refuse("'version' must be a whole number from 1, got " + Shown(*version));
  }
  if (version->get<double>() > kFormatVersion) {
    Refuse("the document is of version " + Shown(*version) + " of the format, newer than " +
           std::to_string(kFormatVersion) + ", the newest this noisebind reads");
  }
}

Kind ClassNamed(const Json* name, const std::string& where) {
  if (name == nullptr) Refuse(where + "no 'class'");
  if (!name->is_string()) Refuse(where + "'class' must be a string, got " + Shown(*name));
  for (int k = 0; k < objects::kKindCount; ++k) {
    if (*name == objects::KindName(static_cast<Kind>(k))) return static_cast<Kind>(k);
  }
  Refuse(where + "unknown class " + Quoted(name->get_ref<const std::string&>()));
}

// A field's value as the double the engine takes, or a refusal.
double FieldValue(const Node& node, const Field& field, const Json& value,
                  const std::string& where) {
  const std::string name = where + node.name() + "." + field.name + " must be ";
  switch (field.type) {
    case FieldType::kBoolean:
      if (!value.is_boolean()) Refuse(name + "true or false, got " + Shown(value));
      return value.get<bool>() ? 1.0 : 0.0;
    case FieldType::kQuality:
      for (int q = 0; q < 3; ++q) {
        if (value.is_string() && value == objects::QualityName(q)) return q;
      }
      Refuse(name + "'fast', 'standard' or 'best', got " + Shown(value));
    case FieldType::kInteger: {
      const std::string range =
          "an integer from " + NumberText(field.minimum) + " to " + NumberText(field.maximum);
      if (!value.is_number()) Refuse(name + range + ", got " + Shown(value));
      const double number = value.get<double>();
      if (!IsWhole(value) || !(number >= field.minimum && number <= field.maximum)) {
        Refuse(name + range + ", got " + Shown(value));
      }
      return number;
    }
    case FieldType::kNumber:
      if (!value.is_number()) Refuse(name + "a number, got " + Shown(value));
      return value.get<double>();
  }
  return 0.0;
}

void SetPoints(Node& node, const Json& list, const std::string& where) {
  const bool curve = node.kind() == Kind::kCurve;
  const std::string name = where + node.name() + ".points ";
  const char* shape =
      curve ? "must be a list of [input, output] pairs" : "must be a list of numbers";
  if (!list.is_array()) Refuse(name + shape + ", got " + Shown(list));
  if (list.size() > objects::kMaxControlPoints) {
    Refuse(name + "would be more than " + std::to_string(objects::kMaxControlPoints) +
           " control points");
  }
  std::vector<double> inputs, outputs;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const Json& item = list[i];
    const auto bad = [&](const std::string& what) {
      Refuse(name + shape + ", item " + std::to_string(i + 1) + " is " + what);
    };
    if (!curve) {
      if (!item.is_number()) bad(Shown(item));
      inputs.push_back(item.get<double>());
      continue;
    }
    if (!item.is_array()) bad(Shown(item));
    if (item.size() != 2) bad("a list of " + std::to_string(item.size()));
    if (!item[0].is_number() || !item[1].is_number()) {
      bad("[" + Shown(item[0]) + ", " + Shown(item[1]) + "]");
    }
    inputs.push_back(item[0].get<double>());
    outputs.push_back(item[1].get<double>());
  }
  const char* refused =
      curve ? objects::SetCurvePoints(node, inputs.data(), outputs.data(), inputs.size())
            : objects::SetTerracePoints(node, inputs.data(), inputs.size());
  if (refused != nullptr) Refuse(name + refused);
}

void SetFields(Node& node, const Json* fields, const std::string& where) {
  if (fields == nullptr) return;
  if (!IsObject(*fields)) Refuse(where + "'fields' must be an object, got " + Shown(*fields));
  const ClassInfo& info = ClassOf(node.kind());
  for (auto item = fields->begin(); item != fields->end(); ++item) {
    if (objects::FindField(info, item.key().c_str()) == nullptr &&
        !(info.points != nullptr && item.key() == "points")) {
      Refuse(where + node.name() + " has no field " + Quoted(item.key()));
    }
  }
  // Values first, all checked; then set twice, so that a bound refused
  // against the other's default (Clamp's lower above 1) takes the second
  // time, and Select's falloff is limited by the final bounds.
  std::vector<std::pair<const Field*, double>> values;
  for (std::size_t f = 0; f < info.fieldCount; ++f) {
    if (const Json* value = Member(*fields, info.fields[f].name)) {
      values.emplace_back(&info.fields[f], FieldValue(node, info.fields[f], *value, where));
    }
  }
  for (int pass = 0; pass < 2; ++pass) {
    for (const auto& [field, value] : values) {
      const char* refused = objects::SetField(node, *field, value);
      if (refused != nullptr && pass == 1) {
        Refuse(where + node.name() + "." + field->name + " " + refused + ", got " +
               NumberText(value));
      }
    }
  }
  if (info.points != nullptr) {
    if (const Json* points = Member(*fields, "points")) SetPoints(node, *points, where);
  }
}

struct Parsed {
  std::vector<NodePtr> nodes;
  std::vector<std::string> ids;
  std::unordered_map<std::string, std::size_t> index;
  // sources[i][s]: the index of source s of node i, or -1 for none.
  std::vector<std::vector<long>> sources;
};

void ReadNodes(const Json& document, Parsed* parsed) {
  const Json* nodes = Member(document, "nodes");
  if (nodes == nullptr) Refuse("the document has no 'nodes'");
  if (!nodes->is_array()) Refuse("'nodes' must be a list, got " + Shown(*nodes));
  if (nodes->size() > kMaxNodes) {
    Refuse("the document has more than " + std::to_string(kMaxNodes) + " nodes");
  }
  // Ids first, so that sources may name nodes further on.
  for (std::size_t i = 0; i < nodes->size(); ++i) {
    const Json& node = (*nodes)[i];
    const std::string where = "node " + std::to_string(i + 1) + ": ";
    if (!node.is_object()) Refuse(where + "must be an object, got " + Shown(node));
    const Json* id = Member(node, "id");
    if (id == nullptr) Refuse(where + "no 'id'");
    if (!id->is_string()) Refuse(where + "'id' must be a string, got " + Shown(*id));
    const std::string& text = id->get_ref<const std::string&>();
    if (text.empty() || text.size() > kMaxNameBytes) {
      Refuse(where + "the id must be from 1 to " + std::to_string(kMaxNameBytes) + " bytes");
    }
    if (!parsed->index.emplace(text, i).second) {
      Refuse(NodeWhere(text) + "the id is given to nodes " +
             std::to_string(parsed->index[text] + 1) + " and " + std::to_string(i + 1));
    }
    parsed->ids.push_back(text);
  }
  for (std::size_t i = 0; i < nodes->size(); ++i) {
    const Json& json = (*nodes)[i];
    const std::string where = NodeWhere(parsed->ids[i]);
    CheckKeys(json, {"id", "class", "sources", "fields"}, where);
    const Kind kind = ClassNamed(Member(json, "class"), where);
    parsed->nodes.emplace_back(objects::CreateNode(kind));
    Node* node = parsed->nodes.back().get();
    if (node == nullptr) throw std::bad_alloc();
    if (parsed->ids[i].find('#') == std::string::npos && !node->SetLabel(parsed->ids[i])) {
      throw std::bad_alloc();
    }
    SetFields(*node, Member(json, "fields"), where);

    const Json* sources = Member(json, "sources");
    std::vector<long>& wired = parsed->sources.emplace_back();
    const std::size_t count = sources != nullptr && sources->is_array() ? sources->size() : 0;
    if (sources != nullptr && !sources->is_array()) {
      Refuse(where + "'sources' must be a list, got " + Shown(*sources));
    }
    if (count != static_cast<std::size_t>(node->SourceCount())) {
      Refuse(where + node->name() + " takes " + std::to_string(node->SourceCount()) +
             (node->SourceCount() == 1 ? " source" : " sources") + ", got " +
             std::to_string(count));
    }
    for (std::size_t s = 0; s < count; ++s) {
      const Json& source = (*sources)[s];
      const std::string which = where + "source " + std::to_string(s + 1) + " ";
      if (source.is_null() || source == false) {
        wired.push_back(-1);
      } else if (!source.is_string()) {
        Refuse(which + "must be a node's id or null, got " + Shown(source));
      } else {
        const auto found = parsed->index.find(source.get_ref<const std::string&>());
        if (found == parsed->index.end()) {
          Refuse(which + Quoted(source.get_ref<const std::string&>()) + " is no node's id");
        }
        wired.push_back(static_cast<long>(found->second));
      }
    }
  }
}

// Nodes in an order where every source comes before its users; refuses
// cycles and graphs deeper than the engine evaluates.
std::vector<std::size_t> SourcesFirst(const Parsed& parsed) {
  enum : char { kNew, kOpen, kDone };
  const std::size_t count = parsed.nodes.size();
  std::vector<char> state(count, kNew);
  std::vector<int> depth(count, 0);
  std::vector<std::size_t> order;
  struct Frame {
    std::size_t node;
    std::size_t next;
  };
  for (std::size_t root = 0; root < count; ++root) {
    if (state[root] != kNew) continue;
    std::vector<Frame> stack{{root, 0}};
    state[root] = kOpen;
    while (!stack.empty()) {
      Frame& frame = stack.back();
      const std::vector<long>& sources = parsed.sources[frame.node];
      if (frame.next < sources.size()) {
        const long source = sources[frame.next++];
        if (source < 0) continue;
        const auto s = static_cast<std::size_t>(source);
        if (state[s] == kOpen) {
          Refuse(NodeWhere(parsed.ids[s]) + "its sources lead back to it, a cycle");
        }
        if (state[s] == kNew) {
          state[s] = kOpen;
          stack.push_back({s, 0});
        }
        continue;
      }
      int deepest = 0;
      for (const long source : sources) {
        if (source >= 0) deepest = std::max(deepest, depth[static_cast<std::size_t>(source)]);
      }
      depth[frame.node] = deepest + 1;
      if (depth[frame.node] > objects::kMaxGraphDepth) {
        Refuse(NodeWhere(parsed.ids[frame.node]) + "the graph is deeper than " +
               std::to_string(objects::kMaxGraphDepth) + " modules");
      }
      state[frame.node] = kDone;
      order.push_back(frame.node);
      stack.pop_back();
    }
  }
  return order;
}

void ReadOutputs(const Json& document, const Parsed& parsed, Graph* graph) {
  const Json* outputs = Member(document, "outputs");
  if (outputs == nullptr) Refuse("the document has no 'outputs'");
  if (!IsObject(*outputs)) Refuse("'outputs' must be an object, got " + Shown(*outputs));
  if (outputs->empty()) Refuse("the document has no outputs");
  for (auto item = outputs->begin(); item != outputs->end(); ++item) {
    const std::string where = "output " + Quoted(item.key()) + ": ";
    if (const char* refused = CheckName(item.key())) Refuse(where + "the name " + refused);
    if (!item->is_string()) Refuse(where + "must be a node's id, got " + Shown(*item));
    const auto found = parsed.index.find(item->get_ref<const std::string&>());
    if (found == parsed.index.end()) {
      Refuse(where + Quoted(item->get_ref<const std::string&>()) + " is no node's id");
    }
    graph->outputs.emplace_back(item.key(), found->second);
  }
}

void DecodeOrThrow(std::string_view text, Graph* graph) {
  if (text.size() > kMaxDocumentBytes) {
    Refuse("the document is longer than " + std::to_string(kMaxDocumentBytes) + " bytes");
  }
  Json document;
  try {
    document = Json::parse(text.begin(), text.end(), Limits());
  } catch (const Json::parse_error& failure) {
    Refuse(SyntaxError(failure));
  } catch (const Json::exception& failure) {
    // A number beyond the doubles: "[json.exception.out_of_range.406] number
    // overflow parsing '1e999'".
    const std::string what = failure.what();
    const std::size_t start = what.find("] ");
    Refuse(start == std::string::npos ? what : what.substr(start + 2));
  }
  CheckFormat(document);
  Parsed parsed;
  ReadNodes(document, &parsed);
  ReadOutputs(document, parsed, graph);
  // Users before their sources: each source is wired while it has none of
  // its own, so that the engine's cycle check looks at one node.
  const std::vector<std::size_t> order = SourcesFirst(parsed);
  for (auto user = order.rbegin(); user != order.rend(); ++user) {
    Node* node = parsed.nodes[*user].get();
    const std::vector<long>& sources = parsed.sources[*user];
    for (std::size_t s = 0; s < sources.size(); ++s) {
      if (sources[s] < 0) continue;
      Node* source = parsed.nodes[static_cast<std::size_t>(sources[s])].get();
      if (node->SetSource(static_cast<int>(s), source) != objects::SourceStatus::kDone) {
        throw std::bad_alloc();
      }
    }
  }
  // Handed out sources first: the file's order when it is so (as Encode
  // writes it), else the order of the walk.
  std::vector<std::size_t> position(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    position[order[i]] = i;
    graph->nodes.push_back(std::move(parsed.nodes[order[i]]));
    graph->ids.push_back(std::move(parsed.ids[order[i]]));
  }
  for (auto& output : graph->outputs) output.second = position[output.second];
}

}  // namespace

void NodeDeleter::operator()(objects::Node* node) const noexcept {
  objects::DestroyNode(node);
}

const objects::Node* Graph::Output(std::string_view name) const {
  for (const auto& [output, index] : outputs) {
    if (output == name) return nodes[index].get();
  }
  return nullptr;
}

bool Decode(std::string_view text, Graph* graph, std::string* error) {
  *graph = Graph();
  try {
    Graph decoded;
    DecodeOrThrow(text, &decoded);
    *graph = std::move(decoded);
    return true;
  } catch (Refusal& refusal) {
    *error = std::move(refusal.message);
  } catch (...) {
    try {
      *error = "not enough memory";
    } catch (...) {
    }
  }
  return false;
}

}  // namespace noisebind::graphfile
