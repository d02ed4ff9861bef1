// The engine alone: sources, cycles, lifetime, evaluability, GetValues.
#include <gtest/gtest.h>
#include <libnoise/exception.h>
#include <libnoise/module/module.h>

#include <memory>
#include <thread>
#include <vector>

#include "engine/graph/classes.h"
#include "engine/graph/curve_terrace_points.h"
#include "engine/graph/node.h"

namespace noisebind::objects {
namespace {

struct Destroy {
  void operator()(Node* node) const { DestroyNode(node); }
};
using Owned = std::unique_ptr<Node, Destroy>;

Owned Make(Kind kind) {
  return Owned(CreateNode(kind));
}

std::string Why(const Node& node) {
  std::string why;
  return node.Evaluable(&why) ? "evaluable" : why;
}

TEST(Graph, EveryClassHasLibnoisesSourceCountAndTypedModule) {
  for (int k = 0; k < kKindCount; ++k) {
    const Owned node = Make(static_cast<Kind>(k));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->SourceCount(), ClassOf(node->kind()).sourceCount) << node->name();
    EXPECT_EQ(node->SourceCount(), node->module().GetSourceModuleCount()) << node->name();
  }
  const Owned perlin = Make(Kind::kPerlin);
  EXPECT_NE(perlin->As<noise::module::Perlin>(), nullptr);
  EXPECT_EQ(perlin->As<noise::module::Billow>(), nullptr);
}

TEST(Graph, MissingSourcesAndControlPointsAreNamed) {
  const Owned add = Make(Kind::kAdd);
  const Owned perlin = Make(Kind::kPerlin);
  EXPECT_EQ(Why(*add), "Add needs source 1");
  ASSERT_EQ(add->SetSource(0, perlin.get()), SourceStatus::kDone);
  EXPECT_EQ(Why(*add), "Add needs source 2");
  const Owned curve = Make(Kind::kCurve);
  ASSERT_EQ(add->SetSource(1, curve.get()), SourceStatus::kDone);
  EXPECT_EQ(Why(*add), "Curve needs source 1");
  ASSERT_EQ(curve->SetSource(0, perlin.get()), SourceStatus::kDone);
  EXPECT_EQ(Why(*add), "Curve needs at least 4 control points, has 0");
  for (double input : {-1.0, 0.0, 0.5, 1.0})
    ASSERT_EQ(AddCurvePoint(*curve, input, input), nullptr);
  EXPECT_EQ(Why(*add), "evaluable");
  const Owned terrace = Make(Kind::kTerrace);
  ASSERT_EQ(terrace->SetSource(0, perlin.get()), SourceStatus::kDone);
  ASSERT_EQ(AddTerracePoint(*terrace, 0.5), nullptr);
  EXPECT_EQ(Why(*terrace), "Terrace needs at least 2 control points, has 1");
}

TEST(Graph, CyclesAndBadIndicesAreRefusedWithoutChange) {
  const Owned a = Make(Kind::kAbs);
  const Owned b = Make(Kind::kScaleBias);
  const Owned c = Make(Kind::kAdd);
  EXPECT_EQ(a->SetSource(0, a.get()), SourceStatus::kCycle);
  ASSERT_EQ(b->SetSource(0, a.get()), SourceStatus::kDone);
  ASSERT_EQ(c->SetSource(1, b.get()), SourceStatus::kDone);
  EXPECT_EQ(a->SetSource(0, c.get()), SourceStatus::kCycle);
  EXPECT_EQ(a->source(0), nullptr);
  EXPECT_EQ(c->SetSource(2, a.get()), SourceStatus::kBadIndex);
  EXPECT_EQ(c->SetSource(-1, a.get()), SourceStatus::kBadIndex);
  // A shared source twice is no cycle.
  ASSERT_EQ(c->SetSource(0, b.get()), SourceStatus::kDone);
}

TEST(Graph, DestroyedSourcesGoMissingNotDangling) {
  const Owned add = Make(Kind::kAdd);
  Owned perlin = Make(Kind::kPerlin);
  ASSERT_EQ(add->SetSource(0, perlin.get()), SourceStatus::kDone);
  ASSERT_EQ(add->SetSource(1, perlin.get()), SourceStatus::kDone);
  const std::uint64_t before = GraphGeneration();
  perlin.reset();
  EXPECT_NE(GraphGeneration(), before);
  EXPECT_EQ(add->source(0), nullptr);
  EXPECT_EQ(add->source(1), nullptr);
  EXPECT_THROW(add->module().GetSourceModule(0), noise::ExceptionNoModule);
  EXPECT_EQ(Why(*add), "Add needs source 1");
  // A user destroyed first leaves its source with no stale user.
  Owned scale = Make(Kind::kScaleBias);
  const Owned billow = Make(Kind::kBillow);
  ASSERT_EQ(scale->SetSource(0, billow.get()), SourceStatus::kDone);
  scale.reset();
  ASSERT_EQ(add->SetSource(0, billow.get()), SourceStatus::kDone);
}

TEST(Graph, DeepGraphsAreRefusedBeforeEvaluation) {
  std::vector<Owned> chain;
  chain.push_back(Make(Kind::kConst));
  for (int i = 0; i < kMaxGraphDepth + 5; ++i) {
    chain.push_back(Make(Kind::kAbs));
    ASSERT_EQ(chain.back()->SetSource(0, chain[chain.size() - 2].get()), SourceStatus::kDone);
  }
  EXPECT_EQ(Why(*chain[kMaxGraphDepth - 1]), "evaluable");
  EXPECT_EQ(Why(*chain.back()), "the graph of Abs is deeper than 1000 modules");
  // Destroyed from the top, so that each step detaches one user.
  while (!chain.empty()) chain.pop_back();
}

TEST(Graph, GetValuesIsGetValueOnEveryThread) {
  const Owned perlin = Make(Kind::kPerlin);
  const Owned turbulence = Make(Kind::kTurbulence);
  ASSERT_EQ(turbulence->SetSource(0, perlin.get()), SourceStatus::kDone);
  constexpr std::size_t kCount = 257;
  std::vector<double> x(kCount), y(kCount), z(kCount);
  for (std::size_t i = 0; i < kCount; ++i) {
    x[i] = i * 0.37 - 40;
    y[i] = i * -0.11;
    z[i] = i * 0.05 + 1;
  }
  std::vector<double> results[2];
  std::vector<std::thread> threads;
  for (auto& out : results) {
    out.resize(kCount);
    threads.emplace_back(
        [&] { turbulence->GetValues(x.data(), y.data(), z.data(), kCount, out.data()); });
  }
  for (std::thread& thread : threads) thread.join();
  for (std::size_t i = 0; i < kCount; ++i) {
    const double expected = turbulence->module().GetValue(x[i], y[i], z[i]);
    EXPECT_EQ(results[0][i], expected);
    EXPECT_EQ(results[1][i], expected);
  }
}

}  // namespace
}  // namespace noisebind::objects
