// Whole graphs evaluated a block at a time give libnoise's own GetValue bit
// for bit: every kind at the root of random graphs with random settings, on
// every instruction-set path the processor runs.
#include <gtest/gtest.h>
#include <libnoise/latlon.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "engine/graph/batch/batch.h"
#include "noisebind/simd/isa.h"
#include "random_graph.h"

namespace noisebind::objects::testing {
namespace {

using simd::Isa;

std::vector<Isa> Paths() {
  std::vector<Isa> paths;
  for (Isa isa : {Isa::portable, Isa::avx2, Isa::avx512}) {
    if (simd::IsaSupported(isa)) paths.push_back(isa);
  }
  return paths;
}

std::vector<double> Expected(const Node& node, const Cloud& cloud) {
  std::vector<double> values(cloud.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    values[i] = node.module().GetValue(cloud.x[i], cloud.y[i], cloud.z[i]);
  }
  return values;
}

class BatchGraphs : public ::testing::Test {
 protected:
  void TearDown() override { simd::ResetIsa(); }

  // The batch values of `node` on every path against `expected`; returns how
  // many values were compared.
  std::size_t Compare(const Node& node, const Cloud& cloud, const std::vector<double>& expected) {
    std::size_t compared = 0;
    for (Isa isa : Paths()) {
      EXPECT_TRUE(simd::ForceIsa(isa));
      // Exactly the size asked for, so that AddressSanitizer sees any overrun.
      std::vector<double> batch(cloud.size());
      node.GetValues(cloud.x.data(), cloud.y.data(), cloud.z.data(), cloud.size(), batch.data());
      for (std::size_t i = 0; i < batch.size(); ++i) {
        if (SameValue(expected[i], batch[i])) continue;
        if (m_reported++ < 6) {
          ADD_FAILURE() << GraphMaker::Describe(node) << " on " << simd::IsaName(isa)
                        << " at point " << i << " (" << Bits(cloud.x[i]) << ", " << Bits(cloud.y[i])
                        << ", " << Bits(cloud.z[i]) << "): libnoise " << Bits(expected[i])
                        << ", batch " << Bits(batch[i]);
        }
      }
      compared += batch.size();
    }
    return compared;
  }

  int m_reported = 0;
};

// Over a million values on each path: every kind at the root, graphs up to
// four levels deep, block counts of every remainder, a few edge points.
TEST_F(BatchGraphs, RandomGraphsOfEveryKind) {
  constexpr int kGraphsPerKind = 64;
  GraphMaker maker(20261208);
  std::size_t compared = 0;
  for (int k = 0; k < kKindCount; ++k) {
    for (int draw = 0; draw < kGraphsPerKind; ++draw) {
      const Node& root = maker.Make(static_cast<Kind>(k), 1 + draw % 4);
      std::string why;
      ASSERT_TRUE(root.Evaluable(&why)) << why;
      const std::size_t count = std::uniform_int_distribution<std::size_t>(1, 1200)(maker.rng());
      const Cloud cloud = maker.Points(count, draw % 3 == 0 ? 0.2 : 0.01);
      compared += Compare(root, cloud, Expected(root, cloud));
    }
  }
  EXPECT_GT(compared, 1000000 * Paths().size());
}

// Graphs whose nodes are read by several others, at the same points and at
// points moved by transformers or gathered by selectors: every kind at the
// root. libnoise's reference evaluates a node once per read, so graphs whose
// reads explode are left out.
TEST_F(BatchGraphs, SharedGraphsOfEveryKind) {
  constexpr int kGraphsPerKind = 24;
  GraphMaker maker(20261209);
  std::size_t compared = 0;
  for (int k = 0; k < kKindCount; ++k) {
    for (int draw = 0; draw < kGraphsPerKind; ++draw) {
      const Node& root = maker.MakeShared(static_cast<Kind>(k), 4 + draw * 2);
      std::string why;
      ASSERT_TRUE(root.Evaluable(&why)) << why;
      const std::size_t count = std::uniform_int_distribution<std::size_t>(1, 600)(maker.rng());
      if (GraphMaker::Reads(root) * count > 2e6) continue;
      const Cloud cloud = maker.Points(count, draw % 3 == 0 ? 0.2 : 0.01);
      compared += Compare(root, cloud, Expected(root, cloud));
    }
  }
  EXPECT_GT(compared, 100000 * Paths().size());
}

// Chunk-sized calls one after another, as a mod's loop of chunks and calc
// make them: each thread's evaluator of the graph is reused from call to
// call, whatever the count, and gives libnoise's values each time.
TEST_F(BatchGraphs, EvaluatorsReusedOverChunkSizes) {
  const std::size_t counts[] = {1, 2, 3, 5, 17, 63, 64, 65, 80, 95, 96, 1, 96};
  GraphMaker maker(20261210);
  std::size_t compared = 0;
  for (int k = 0; k < kKindCount; ++k) {
    const Node& root = maker.MakeShared(static_cast<Kind>(k), 8);
    const Node& other = maker.Make(static_cast<Kind>(k), 2);
    if (GraphMaker::Reads(root) * 96 > 2e6) continue;
    for (const std::size_t count : counts) {
      // Another graph between calls of the first: each keeps its own.
      for (const Node* node : {&root, &other, &root}) {
        const Cloud cloud = maker.Points(count, 0.05);
        compared += Compare(*node, cloud, Expected(*node, cloud));
      }
    }
  }
  EXPECT_GT(compared, 10000 * Paths().size());
}

// The shapes sharing takes, each built on its own: a diamond; a node read
// by 2 to 8 parents; a shared node under a transformer (read there and
// above it); a shared transformer; a selector whose sources share its
// control.
TEST_F(BatchGraphs, SharedShapes) {
  GraphMaker maker(77);
  const Kind readers[] = {Kind::kAbs,      Kind::kScaleBias,   Kind::kTranslatePoint, Kind::kCache,
                          Kind::kExponent, Kind::kRotatePoint, Kind::kTurbulence,     Kind::kCurve};
  const Kind joins[] = {Kind::kAdd,   Kind::kMax,    Kind::kMultiply, Kind::kMin,
                        Kind::kBlend, Kind::kSelect, Kind::kDisplace};
  const auto join = [&](Node& a, Node& b, int draw) -> Node& {
    Node& node = maker.Fresh(joins[draw % std::size(joins)]);
    for (int s = 0; s < node.SourceCount(); ++s) {
      EXPECT_EQ(node.SetSource(s, s % 2 == 0 ? &a : &b), SourceStatus::kDone);
    }
    return node;
  };
  const auto reader = [&](Node& source, int draw) -> Node& {
    Node& node = maker.Fresh(readers[draw % std::size(readers)]);
    EXPECT_EQ(node.SetSource(0, &source), SourceStatus::kDone);
    return node;
  };
  for (int draw = 0; draw < 40; ++draw) {
    std::vector<const Node*> roots;
    Node& hub = maker.Make(draw % 2 ? Kind::kPerlin : Kind::kSelect, 2);
    // A diamond.
    roots.push_back(&join(reader(hub, draw), reader(hub, draw + 3), draw));
    // Read by 2 to 8 parents, joined in a chain.
    Node* chain = &reader(hub, draw);
    for (int r = 1; r < 2 + draw % 7; ++r) chain = &join(*chain, reader(hub, draw + r), draw + r);
    roots.push_back(chain);
    // Shared under a transformer, and read above it as well.
    const Kind movers[] = {Kind::kTranslatePoint, Kind::kRotatePoint, Kind::kTurbulence,
                           Kind::kScalePoint};
    Node& moved = maker.Fresh(movers[draw % std::size(movers)]);
    EXPECT_EQ(moved.SetSource(0, &join(hub, reader(hub, draw + 1), draw)), SourceStatus::kDone);
    roots.push_back(&join(moved, hub, draw + 2));
    // A shared transformer over a shared node.
    Node& turned = maker.Fresh(draw % 2 ? Kind::kRotatePoint : Kind::kScalePoint);
    EXPECT_EQ(turned.SetSource(0, &join(hub, hub, draw)), SourceStatus::kDone);
    roots.push_back(&join(join(turned, reader(turned, draw), draw + 1), turned, draw + 4));
    // A selector whose control its sources read too.
    Node& select = maker.Fresh(Kind::kSelect);
    for (int s = 0; s < 2; ++s) {
      EXPECT_EQ(select.SetSource(s, &reader(hub, draw + s)), SourceStatus::kDone);
    }
    EXPECT_EQ(select.SetSource(2, &hub), SourceStatus::kDone);
    roots.push_back(&reader(select, draw + 1));
    for (const Node* root : roots) {
      std::string why;
      ASSERT_TRUE(root->Evaluable(&why)) << why;
      const Cloud cloud = maker.Points(1 + draw * 37 % 700, draw % 4 == 0 ? 0.2 : 0.01);
      Compare(*root, cloud, Expected(*root, cloud));
    }
  }
}

// Settings at their extremes on single nodes over generators with
// values of every kind (NaN and infinities included) at their inputs.
TEST_F(BatchGraphs, ModifiersAndCombinersOnEdgeValues) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  GraphMaker maker(5);
  // A Const of each value, and Spheres (NaN at infinite points) among them.
  const double inputs[] = {0.0, -0.0, 1.0, -1.0, 0.25, -3.0, 1e300, -1e300, 1e-320};
  for (int k = 0; k < kKindCount; ++k) {
    const Kind kind = static_cast<Kind>(k);
    if (ClassOf(kind).sourceCount == 0) continue;
    for (int draw = 0; draw < 16; ++draw) {
      Node& root = maker.Make(kind, 1);
      for (int s = 0; s < root.SourceCount(); ++s) {
        Node& source = maker.Make(draw % 4 == 0 ? Kind::kSpheres : Kind::kConst, 0);
        SetField(source, *FindField(ClassOf(source.kind()), draw % 4 == 0 ? "frequency" : "value"),
                 inputs[(draw + s * 3) % std::size(inputs)]);
        ASSERT_EQ(root.SetSource(s, &source), SourceStatus::kDone);
      }
      Cloud cloud = maker.Points(40, 0.5);
      cloud.x[0] = kInf;
      Compare(root, cloud, Expected(root, cloud));
    }
  }
}

// Graphs as deep as evaluable graphs get, through every transformer and a
// selector on the way, in one block and across several.
TEST_F(BatchGraphs, DeepestGraphs) {
  GraphMaker maker(11);
  const Kind chain[] = {Kind::kScalePoint, Kind::kSelect,      Kind::kTranslatePoint,
                        Kind::kAbs,        Kind::kRotatePoint, Kind::kAdd};
  Node* top = &maker.Make(Kind::kPerlin, 0);
  for (int level = 1; level < kMaxGraphDepth; ++level) {
    Node& next = maker.Make(chain[level % std::size(chain)], 1);
    ASSERT_EQ(next.SetSource(0, top), SourceStatus::kDone);
    top = &next;
  }
  std::string why;
  ASSERT_TRUE(top->Evaluable(&why)) << why;
  const Cloud cloud = maker.Points(300, 0.05);
  Compare(*top, cloud, Expected(*top, cloud));
}

// Sphere and cylinder maps' rows share y (one latitude or height a row):
// every generator on such rows, alone and under transformers that keep the
// sharing (translating, scaling) or break it (rotating, warping).
TEST_F(BatchGraphs, SphereAndCylinderRowsThroughTransformers) {
  GraphMaker maker(2024);
  Cloud rows;
  const auto add = [&rows](double x, double y, double z) {
    rows.x.push_back(x);
    rows.y.push_back(y);
    rows.z.push_back(z);
  };
  for (double lat : {-90.0, -61.5, -3.0, 0.0, 27.25, 89.0}) {
    for (int i = 0; i < 300; ++i) {
      double x, y, z;
      noise::LatLonToXYZ(lat, -180.0 + i * 1.2, x, y, z);
      add(x, y, z);
    }
  }
  for (double height : {-2.0, 0.0, 0.7, 1e9}) {
    for (int i = 0; i < 97; ++i) add(std::cos(i * 0.065), height, std::sin(i * 0.065));
  }
  const Kind generators[] = {Kind::kPerlin,  Kind::kBillow,    Kind::kRidgedMulti,  Kind::kVoronoi,
                             Kind::kSpheres, Kind::kCylinders, Kind::kCheckerboard, Kind::kConst};
  const Kind movers[] = {Kind::kTranslatePoint, Kind::kScalePoint, Kind::kRotatePoint,
                         Kind::kTurbulence, Kind::kDisplace};
  for (Kind generator : generators) {
    for (int draw = 0; draw < 3; ++draw) {
      Node& source = maker.Fresh(generator);
      Compare(source, rows, Expected(source, rows));
      for (Kind mover : movers) {
        Node& moved = maker.Fresh(mover);
        for (int s = 0; s < moved.SourceCount(); ++s) {
          EXPECT_EQ(moved.SetSource(s, &source), SourceStatus::kDone);
        }
        Compare(moved, rows, Expected(moved, rows));
      }
    }
  }
}

// Output into one of the coordinate arrays: every point read before its
// value is written, across block boundaries.
TEST_F(BatchGraphs, OutputOverCoordinates) {
  GraphMaker maker(3);
  for (int draw = 0; draw < 12; ++draw) {
    // Roots that write their output before they read the last coordinate.
    const Kind roots[] = {Kind::kAdd, Kind::kSelect, Kind::kBlend};
    const Node& root = maker.Make(roots[draw % 3], 3);
    Cloud cloud = maker.Points(batch::kBlockSize * 2 + 17, 0.02);
    const std::vector<double> expected = Expected(root, cloud);
    std::vector<double>& target = draw % 3 == 0 ? cloud.x : draw % 3 == 1 ? cloud.y : cloud.z;
    root.GetValues(cloud.x.data(), cloud.y.data(), cloud.z.data(), cloud.size(), target.data());
    for (std::size_t i = 0; i < target.size(); ++i) {
      ASSERT_TRUE(SameValue(expected[i], target[i])) << "point " << i << " of draw " << draw;
    }
  }
}

// Threads evaluate one graph at once; each gets libnoise's values.
TEST_F(BatchGraphs, SeveralThreadsOnOneGraph) {
  GraphMaker maker(17);
  const Node& root = maker.Make(Kind::kSelect, 4);
  const Cloud cloud = maker.Points(3000, 0.01);
  const std::vector<double> expected = Expected(root, cloud);
  std::vector<std::vector<double>> results(4, std::vector<double>(cloud.size()));
  std::vector<std::thread> threads;
  for (auto& out : results) {
    threads.emplace_back([&] {
      root.GetValues(cloud.x.data(), cloud.y.data(), cloud.z.data(), cloud.size(), out.data());
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const auto& out : results) {
    for (std::size_t i = 0; i < out.size(); ++i) ASSERT_TRUE(SameValue(expected[i], out[i]));
  }
}

}  // namespace
}  // namespace noisebind::objects::testing
