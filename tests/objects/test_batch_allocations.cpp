// A graph of thousands of nodes, many read by several others, allocates its
// scratch and kept arrays in the first block and reuses them in every later
// one, in later calls too (a map's blocks, a loop of chunks or of calc). This program counts every
// allocation of the process (tests/performance/allocation_counter.cpp).
#include <gtest/gtest.h>

#include <vector>

#include "engine/graph/batch/batch.h"
#include "random_graph.h"
#include "tests/performance/allocation_counter.h"

namespace noisebind::objects::testing {
namespace {

// 50 cheap generators, 60 layers of 50 nodes each reading two of the layer
// below (so each is read about twice), and a top that reads the last layer
// at the block's points and through translations and a selector.
const Node& ThousandsOfNodes(GraphMaker& maker) {
  const Kind leaves[] = {Kind::kConst, Kind::kSpheres, Kind::kCylinders, Kind::kCheckerboard};
  const Kind inner[] = {Kind::kAdd,   Kind::kMax,    Kind::kMultiply, Kind::kMin,
                        Kind::kBlend, Kind::kSelect, Kind::kCache,    Kind::kScaleBias};
  constexpr int kWidth = 50;
  std::vector<Node*> layer;
  for (int i = 0; i < kWidth; ++i) layer.push_back(&maker.Fresh(leaves[i % 4]));
  for (int level = 0; level < 60; ++level) {
    std::vector<Node*> next;
    for (int j = 0; j < kWidth; ++j) {
      Node& node = maker.Fresh(inner[(level + j) % std::size(inner)]);
      for (int s = 0; s < node.SourceCount(); ++s) {
        EXPECT_EQ(node.SetSource(s, layer[(j + s * 7 + level) % kWidth]), SourceStatus::kDone);
      }
      next.push_back(&node);
    }
    layer = next;
  }
  Node* top = layer[0];
  for (int k = 1; k < 5; ++k) {
    Node& moved = maker.Fresh(k % 2 ? Kind::kTranslatePoint : Kind::kSelect);
    for (int s = 0; s < moved.SourceCount(); ++s) {
      EXPECT_EQ(moved.SetSource(s, layer[(k + s) * 3]), SourceStatus::kDone);
    }
    Node& join = maker.Fresh(Kind::kAdd);
    EXPECT_EQ(join.SetSource(0, top), SourceStatus::kDone);
    EXPECT_EQ(join.SetSource(1, &moved), SourceStatus::kDone);
    top = &join;
  }
  return *top;
}

TEST(BatchAllocations, ThousandsOfNodesAllocateInTheFirstBlockOnly) {
  GraphMaker maker(9);
  const Node& root = ThousandsOfNodes(maker);
  std::string why;
  ASSERT_TRUE(root.Evaluable(&why)) << why;
  // The same block of points again and again, so that every block needs
  // what the first one did.
  const Cloud block = maker.Points(batch::kBlockSize, 0.01);
  Cloud cloud;
  for (int copy = 0; copy < 12; ++copy) {
    for (std::size_t i = 0; i < block.size(); ++i) {
      cloud.x.push_back(block.x[i]);
      cloud.y.push_back(block.y[i]);
      cloud.z.push_back(block.z[i]);
    }
  }
  std::vector<double> out(cloud.size());
  const auto allocations = [&](std::size_t count) {
    noisebind::testing::AllocationWindow window;
    root.GetValues(cloud.x.data(), cloud.y.data(), cloud.z.data(), count, out.data());
    return window.count();
  };
  // The first block allocates the arrays, the first single point its
  // choice of path for this graph.
  const long one = allocations(batch::kBlockSize) + allocations(1);
  EXPECT_GT(one, 0);  // the counter sees the scratch arrays
  // Then nothing, for every count of points, a short chunk's to one.
  for (const std::size_t count : {cloud.size(), std::size_t{80}, std::size_t{1}}) {
    EXPECT_EQ(allocations(count), 0) << count;
  }
  allocations(cloud.size());
  for (std::size_t i = 0; i < cloud.size(); ++i) {
    ASSERT_TRUE(SameValue(out[i % batch::kBlockSize], out[i])) << i;
  }
}

}  // namespace
}  // namespace noisebind::objects::testing
