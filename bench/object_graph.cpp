#include "object_graph.h"

#include <new>
#include <stdexcept>
#include <string>

#include "engine/graph/classes.h"
#include "engine/graph/curve_terrace_points.h"

namespace noisebind::bench {

using objects::Kind;
using objects::Node;

void ObjectGraph::Destroy::operator()(Node* node) const {
  objects::DestroyNode(node);
}

Node& ObjectGraph::Make(Kind kind, std::vector<Node*> sources, std::vector<Setting> settings) {
  Node* made = objects::CreateNode(kind);
  if (made == nullptr) throw std::bad_alloc();
  m_nodes.emplace_back(made);
  Node& node = *made;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    if (node.SetSource(static_cast<int>(i), sources[i]) != objects::SourceStatus::kDone) {
      throw std::runtime_error(std::string(node.name()) + ": source refused");
    }
  }
  for (const Setting& setting : settings) {
    const objects::Field* field = objects::FindField(objects::ClassOf(kind), setting.field);
    const char* refused =
        field == nullptr ? "no such field" : objects::SetField(node, *field, setting.value);
    if (refused != nullptr) {
      throw std::runtime_error(std::string(node.name()) + "." + setting.field + " " + refused);
    }
  }
  return node;
}

Node& ObjectGraph::Curve(Node& source, const std::vector<std::pair<double, double>>& points) {
  std::vector<double> inputs, outputs;
  for (const auto& [input, output] : points) {
    inputs.push_back(input);
    outputs.push_back(output);
  }
  Node& curve = Make(Kind::kCurve, {&source});
  const char* refused =
      objects::SetCurvePoints(curve, inputs.data(), outputs.data(), inputs.size());
  if (refused != nullptr) throw std::runtime_error(std::string("Curve points ") + refused);
  return curve;
}

Node& ObjectGraph::Terrace(Node& source, const std::vector<double>& points) {
  Node& terrace = Make(Kind::kTerrace, {&source});
  const char* refused = objects::SetTerracePoints(terrace, points.data(), points.size());
  if (refused != nullptr) throw std::runtime_error(std::string("Terrace points ") + refused);
  return terrace;
}

void ObjectGraph::CheckEvaluable(const Node& root) {
  std::string why;
  if (!root.Evaluable(&why)) throw std::runtime_error(why);
}

}  // namespace noisebind::bench
