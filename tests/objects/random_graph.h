// Random noise graphs with random settings, for comparing the batch path
// with libnoise's own GetValue.
#ifndef NOISEBIND_TESTS_OBJECTS_RANDOM_GRAPH_H
#define NOISEBIND_TESTS_OBJECTS_RANDOM_GRAPH_H

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/graph/classes.h"
#include "engine/graph/node.h"
#include "tests/common/exact_values.h"

namespace noisebind::objects::testing {

struct DestroyNodeDeleter {
  void operator()(Node* node) const { DestroyNode(node); }
};
using OwnedNode = std::unique_ptr<Node, DestroyNodeDeleter>;

// Points in structure-of-arrays form.
struct Cloud {
  std::vector<double> x, y, z;
  std::size_t size() const { return x.size(); }
};

class GraphMaker {
 public:
  explicit GraphMaker(std::uint64_t seed) : m_rng(seed) {}

  // A graph whose root is of `kind`, its sources random graphs at most
  // `depth` levels deep, now and then sharing a node already made. The
  // nodes live as long as the maker.
  Node& Make(Kind kind, int depth);

  // A node of `kind` with random settings and no sources.
  Node& Fresh(Kind kind);

  // A graph of about `nodes` nodes whose sources are drawn from the nodes
  // made before, so that many are read by several others, through every
  // kind (transformers and selectors too), rooted at `kind`.
  Node& MakeShared(Kind kind, int nodes);

  // `count` points: ordinary coordinates at a random scale, a share of them
  // edge values (far beyond 2^30, infinities, NaN, zeros of both signs).
  Cloud Points(std::size_t count, double edgeShare);

  // The node evaluations libnoise's GetValue makes per point: every read of
  // every node, shared or not.
  static double Reads(const Node& root);

  // The root's kinds and settings, for failure messages.
  static std::string Describe(const Node& node, int depth = 0);

  std::mt19937_64& rng() { return m_rng; }

 private:
  Node& Create(Kind kind);
  void Randomize(Node& node);
  double Number(const char* field);
  double Integer(const char* field);
  void ControlPoints(Node& node);

  std::mt19937_64 m_rng;
  std::vector<OwnedNode> m_nodes;
  std::vector<Node*> m_building;  // Make's nodes whose sources are being made
};

using noisebind::testing::Bits;
using noisebind::testing::SameValue;

}  // namespace noisebind::objects::testing

#endif  // NOISEBIND_TESTS_OBJECTS_RANDOM_GRAPH_H
