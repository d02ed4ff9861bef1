// GetValues never throws: where the scratch arrays of a batch cannot be
// allocated, it evaluates point by point, from where the batch stopped.
// This program replaces operator new (refuse_large.cpp) to refuse them.
#include <gtest/gtest.h>

#include <vector>

#include "engine/graph/batch/batch.h"
#include "random_graph.h"
#include "refuse_large.h"

namespace noisebind::objects::testing {
namespace {

Node& Make(GraphMaker& maker, Kind kind, std::vector<Node*> sources) {
  Node& node = maker.Make(kind, 1);
  for (std::size_t i = 0; i < sources.size(); ++i) {
    EXPECT_EQ(node.SetSource(static_cast<int>(i), sources[i]), SourceStatus::kDone);
  }
  return node;
}

// Select between two Perlin sources by a checkerboard: the first block lies
// in one cell (no gathering), later blocks cross cells and need more
// scratch arrays than the first, so an evaluation can run short halfway.
struct Checkered {
  GraphMaker maker{23};
  Node* root = nullptr;
  Cloud cloud;

  Checkered() {
    Node& board = maker.Make(Kind::kCheckerboard, 0);
    Node& select = Make(maker, Kind::kSelect,
                        {&maker.Make(Kind::kPerlin, 0), &maker.Make(Kind::kPerlin, 0), &board});
    SetField(select, *FindField(ClassOf(Kind::kSelect), "falloff"), 0.0);
    root = &select;
    const std::size_t count = batch::kBlockSize * 3 + 5;
    for (std::size_t i = 0; i < count; ++i) {
      const double x = i < batch::kBlockSize ? 0.25 + i * 1e-3 : i * 0.37;
      cloud.x.push_back(x);
      cloud.y.push_back(0.5);
      cloud.z.push_back(0.5 + i * 1e-4);
    }
  }

  std::vector<double> Expected() const {
    std::vector<double> values;
    for (std::size_t i = 0; i < cloud.size(); ++i) {
      values.push_back(root->module().GetValue(cloud.x[i], cloud.y[i], cloud.z[i]));
    }
    return values;
  }
};

TEST(BatchMemory, EveryFailureGivesLibnoisesValues) {
  // -1: nothing refused; 0: the first scratch array; then later ones, up to
  // halfway through (the gathering of the second block).
  for (long allowed = -1; allowed <= 8; ++allowed) {
    for (const bool inPlace : {false, true}) {
      Checkered graph;
      const std::vector<double> expected = graph.Expected();
      std::vector<double> out(graph.cloud.size());
      double* target = inPlace ? graph.cloud.x.data() : out.data();
      {
        // Scratch arrays are the only allocations this large.
        const noisebind::testing::RefuseLarge refuse(batch::kBlockSize * sizeof(double), allowed);
        graph.root->GetValues(graph.cloud.x.data(), graph.cloud.y.data(), graph.cloud.z.data(),
                              graph.cloud.size(), target);
      }
      for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_TRUE(SameValue(expected[i], target[i]))
            << "point " << i << ", " << allowed << " allocations allowed, in place " << inPlace;
      }
    }
  }
}

}  // namespace
}  // namespace noisebind::objects::testing
