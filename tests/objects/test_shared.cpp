// A node read by several others is evaluated once per block for each set
// of points it is read at: counted at a leaf that counts its evaluations.
#include <gtest/gtest.h>
#include <libnoise/module/modulebase.h>

#include <atomic>
#include <cmath>
#include <utility>
#include <vector>

#include "random_graph.h"

namespace noisebind::objects::testing {
namespace {

// libnoise's GetValue, counted. A Clamp node holding another module class
// is evaluated point by point through it (engine/graph/batch Typed).
class CountingModule final : public noise::module::Module {
 public:
  CountingModule() : Module(0) {}
  int GetSourceModuleCount() const override { return 0; }
  double GetValue(double x, double y, double z) const override {
    calls.fetch_add(1, std::memory_order_relaxed);
    return x * 0.25 - y + z * z;
  }
  mutable std::atomic<long> calls{0};
};

class CountingNode final : public Node {
 public:
  CountingNode() : Node(Kind::kClamp, &m_counting) {}
  long calls() const { return m_counting.calls.load(); }
  void Reset() { m_counting.calls = 0; }

 private:
  void SetModuleSource(int, const noise::module::Module*) override {}
  CountingModule m_counting;
};

class Shared : public ::testing::Test {
 protected:
  Node& Join(Kind kind, std::vector<Node*> sources) {
    Node& node = maker.Fresh(kind);
    for (std::size_t i = 0; i < sources.size(); ++i) {
      EXPECT_EQ(node.SetSource(static_cast<int>(i), sources[i]), SourceStatus::kDone);
    }
    return node;
  }

  // The root's values at `cloud` against libnoise's, and how many times the
  // leaf was evaluated for them.
  long Evaluations(const Node& root) {
    std::vector<double> expected(cloud.size());
    for (std::size_t i = 0; i < cloud.size(); ++i) {
      expected[i] = root.module().GetValue(cloud.x[i], cloud.y[i], cloud.z[i]);
    }
    leaf.Reset();
    std::vector<double> out(cloud.size());
    root.GetValues(cloud.x.data(), cloud.y.data(), cloud.z.data(), cloud.size(), out.data());
    for (std::size_t i = 0; i < out.size(); ++i) EXPECT_TRUE(SameValue(expected[i], out[i])) << i;
    return leaf.calls();
  }

  GraphMaker maker{5};
  CountingNode leaf;
  // Three blocks and a rest.
  Cloud cloud = maker.Points(3 * 256 + 9, 0.01);
};

// 24 levels of a = Add(a, a): libnoise reads the leaf 2^24 times per point.
TEST_F(Shared, DoublingChainIsLinear) {
  Node* top = &leaf;
  for (int level = 0; level < 24; ++level) top = &Join(Kind::kAdd, {top, top});
  leaf.Reset();
  std::vector<double> out(cloud.size());
  top->GetValues(cloud.x.data(), cloud.y.data(), cloud.z.data(), cloud.size(), out.data());
  EXPECT_EQ(leaf.calls(), static_cast<long>(cloud.size()));
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double value = cloud.x[i] * 0.25 - cloud.y[i] + cloud.z[i] * cloud.z[i];
    ASSERT_TRUE(SameValue(std::ldexp(value, 24), out[i])) << i;
  }
  // A single point (calc, the models) too.
  leaf.Reset();
  double one = 0;
  top->GetValues(&cloud.x[0], &cloud.y[0], &cloud.z[0], 1, &one);
  EXPECT_EQ(leaf.calls(), 1);
  EXPECT_TRUE(SameValue(out[0], one));
}

TEST_F(Shared, OncePerSetOfPoints) {
  const long n = static_cast<long>(cloud.size());
  // Read at the block's points by three parents: once.
  Node& a = Join(Kind::kAbs, {&leaf});
  EXPECT_EQ(Evaluations(Join(Kind::kBlend, {&leaf, &a, &leaf})), n);
  // Under two translations and at the block: three sets.
  Node& t1 = Join(Kind::kTranslatePoint, {&leaf});
  Node& t2 = Join(Kind::kTranslatePoint, {&leaf});
  Node& both = Join(Kind::kAdd, {&Join(Kind::kAdd, {&t1, &t2}), &Join(Kind::kMax, {&t1, &leaf})});
  EXPECT_EQ(Evaluations(both), 3 * n);
  // A shared transformer is one set, however many read it.
  Node& scaled = Join(Kind::kScalePoint, {&Join(Kind::kMultiply, {&leaf, &leaf})});
  EXPECT_EQ(Evaluations(Join(Kind::kMin, {&scaled, &Join(Kind::kInvert, {&scaled})})), n);
  // Displaced by itself: the offsets at the block, the source at the moved points.
  EXPECT_EQ(Evaluations(Join(Kind::kDisplace, {&leaf, &leaf, &leaf, &leaf})), 2 * n);
}

// c = Cache(a); a = Add(TranslatePoint(c), c), 16 times: libnoise's paths
// double at each level, but every path to j translations reaches the same
// coordinates (the same additions in the same order), so the leaf is read
// at 17 sets of points, in a block of many points and at one.
TEST_F(Shared, PointsMovedToKnownCoordinatesShareValues) {
  Node* a = &leaf;
  for (int level = 0; level < 16; ++level) {
    Node& c = Join(Kind::kCache, {a});
    Node& moved = Join(Kind::kTranslatePoint, {&c});
    for (const auto& [axis, by] : {std::pair{"x", 0.25}, {"y", 0.0}, {"z", 0.0}}) {
      ASSERT_EQ(SetField(moved, *FindField(ClassOf(Kind::kTranslatePoint), axis), by), nullptr);
    }
    a = &Join(Kind::kAdd, {&moved, &c});
  }
  EXPECT_EQ(Evaluations(*a), 17 * static_cast<long>(cloud.size()));
  leaf.Reset();
  double one = 0;
  a->GetValues(&cloud.x[0], &cloud.y[0], &cloud.z[0], 1, &one);
  EXPECT_EQ(leaf.calls(), 17);
  EXPECT_TRUE(SameValue(a->module().GetValue(cloud.x[0], cloud.y[0], cloud.z[0]), one));
}

// Select reads its sources at the points that need them; the control's
// values serve them where they read it too.
TEST_F(Shared, SelectedSourcesReuseTheControl) {
  for (const double falloff : {0.0, 0.4}) {
    Node& select =
        Join(Kind::kSelect, {&Join(Kind::kAbs, {&leaf}), &Join(Kind::kCache, {&leaf}), &leaf});
    ASSERT_EQ(SetField(select, *FindField(ClassOf(Kind::kSelect), "lower"), -0.5), nullptr);
    ASSERT_EQ(SetField(select, *FindField(ClassOf(Kind::kSelect), "upper"), 0.5), nullptr);
    ASSERT_EQ(SetField(select, *FindField(ClassOf(Kind::kSelect), "falloff"), falloff), nullptr);
    EXPECT_EQ(Evaluations(select), static_cast<long>(cloud.size())) << falloff;
    // A selector inside a selector's source: subsets of subsets.
    Node& outer = Join(Kind::kSelect, {&select, &Join(Kind::kInvert, {&select}), &leaf});
    EXPECT_EQ(Evaluations(outer), static_cast<long>(cloud.size())) << falloff;
  }
}

}  // namespace
}  // namespace noisebind::objects::testing
