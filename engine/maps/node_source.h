// A noise object as a point source. Objects evaluate blocks themselves,
// read only their graph while doing so, and fail at no point: whether they
// can be evaluated at all is known before work starts.
#ifndef NOISEBIND_MAPS_NODE_SOURCE_H
#define NOISEBIND_MAPS_NODE_SOURCE_H

#include "engine/maps/point_source.h"

namespace noisebind::maps {

// Node provides `bool Evaluable(std::string*) const` and
// `void GetValues(x, y, z, count, out) const`, safe on several threads.
template <class Node>
class NodeSource final : public PointSource {
 public:
  explicit NodeSource(const Node& node) : m_node(node) {}

  bool Evaluable(std::string* why) const override { return m_node.Evaluable(why); }

  bool Values(Workspace*, const double* x, const double* y, const double* z, std::size_t count,
              double* out, std::string*) const override {
    m_node.GetValues(x, y, z, count, out);
    return true;
  }

 private:
  const Node& m_node;
};

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_NODE_SOURCE_H
