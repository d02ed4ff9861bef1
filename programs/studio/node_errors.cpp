#include "programs/studio/node_errors.h"

#include <map>

namespace noisebind::studio {

std::vector<NodeError> FindNodeErrors(const DecodedGraph& graph) {
  std::vector<NodeError> errors;
  std::map<const objects::Node*, bool> evaluable;
  const auto check = [&](const objects::Node* node, std::string* why) {
    const auto found = evaluable.find(node);
    if (found != evaluable.end() && why == nullptr) return found->second;
    std::string reason;
    const bool ok = node->Evaluable(&reason);
    evaluable[node] = ok;
    if (why != nullptr) *why = reason;
    return ok;
  };
  for (const auto& [id, node] : graph.Nodes()) {
    std::string why;
    if (check(node, &why)) continue;
    bool sourcesEvaluable = true;
    for (int i = 0; i < node->SourceCount(); ++i) {
      const objects::Node* source = node->source(i);
      if (source != nullptr && !check(source, nullptr)) sourcesEvaluable = false;
    }
    if (sourcesEvaluable) errors.push_back({id, why});
  }
  return errors;
}

}  // namespace noisebind::studio
