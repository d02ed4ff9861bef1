// Why nodes of a graph cannot be evaluated, each reason at the node that
// causes it, for the page to show there.
#ifndef NOISEBIND_STUDIO_NODE_ERRORS_H
#define NOISEBIND_STUDIO_NODE_ERRORS_H

#include <string>
#include <vector>

#include "programs/studio/graph_codec.h"

namespace noisebind::studio {

struct NodeError {
  std::string id;
  std::string message;  // e.g. "Curve needs at least 4 control points, has 3"
};

// The nodes that cannot be evaluated although every source they have can:
// the reason is theirs (a missing source, too few control points). Nodes
// that fail only through a source are not listed.
std::vector<NodeError> FindNodeErrors(const DecodedGraph& graph);

}  // namespace noisebind::studio

#endif  // NOISEBIND_STUDIO_NODE_ERRORS_H
