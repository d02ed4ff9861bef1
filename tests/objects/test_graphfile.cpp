// Graph files: random graphs (shared nodes, every class, extreme values)
// written and read back give the same text and the same values, bit for bit.
#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

#include "engine/graph/classes.h"
#include "engine/graph/curve_terrace_points.h"
#include "engine/graphfile/graph_file.h"
#include "random_graph.h"

namespace noisebind::objects::testing {
namespace {

using graphfile::Decode;
using graphfile::Encode;
using graphfile::EncodeOptions;
using graphfile::Graph;
using graphfile::Output;

std::string Label(const Node& node) {
  return node.label();
}

// Numbers at the edges of the doubles, tried on random fields; fields that
// refuse one keep what they had.
void SetExtremes(GraphMaker& maker, Node& root) {
  static const double kExtremes[] = {
      -0.0,
      std::numeric_limits<double>::denorm_min(),
      -4.9406564584124654e-320,
      DBL_MIN,
      DBL_MAX,
      -DBL_MAX,
      0.1,
      1.0 / 3.0,
      2147483647.0,
      -2147483648.0,
  };
  std::vector<Node*> pending{&root};
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kExtremes) - 1);
  for (std::size_t n = 0; n < pending.size() && n < 400; ++n) {
    Node& node = *pending[n];
    const ClassInfo& info = ClassOf(node.kind());
    for (std::size_t f = 0; f < info.fieldCount; ++f) {
      if (maker.rng()() % 3 == 0) SetField(node, info.fields[f], kExtremes[pick(maker.rng())]);
    }
    static int named = 0;
    if (node.label().empty() && maker.rng()() % 4 == 0) {
      node.SetLabel("n" + std::to_string(++named) + "\"\\ é");
    }
    for (int s = 0; s < node.SourceCount(); ++s) {
      if (node.source(s) != nullptr) pending.push_back(const_cast<Node*>(node.source(s)));
    }
  }
}

void ExpectSameValues(GraphMaker& maker, const Node& expected, const Node& actual) {
  std::string why;
  if (!expected.Evaluable(&why)) return;
  ASSERT_TRUE(actual.Evaluable(&why)) << why;
  const Cloud points = maker.Points(64, 0.1);
  std::vector<double> a(points.size()), b(points.size());
  expected.GetValues(points.x.data(), points.y.data(), points.z.data(), points.size(), a.data());
  actual.GetValues(points.x.data(), points.y.data(), points.z.data(), points.size(), b.data());
  for (std::size_t i = 0; i < a.size(); ++i) {
    ASSERT_TRUE(SameValue(a[i], b[i])) << Bits(a[i]) << " vs " << Bits(b[i]);
  }
}

TEST(GraphFile, RandomGraphsRoundTripBitForBit) {
  for (std::uint64_t seed = 1; seed <= 60; ++seed) {
    GraphMaker maker(seed);
    const auto kind = static_cast<Kind>(seed % kKindCount);
    Node& first = seed % 2 ? maker.MakeShared(kind, 30) : maker.Make(kind, 5);
    Node& second = maker.Make(Kind::kAdd, 3);
    if (second.SetSource(0, &first) != SourceStatus::kDone) FAIL();
    SCOPED_TRACE("seed " + std::to_string(seed));
    SetExtremes(maker, first);
    SetExtremes(maker, second);
    const std::vector<Output> outputs = {{"terrain", &first}, {"caves", &second}};
    for (const bool compact : {false, true}) {
      std::string text, again, error;
      ASSERT_TRUE(Encode(outputs, Label, EncodeOptions{compact}, &text, &error)) << error;
      Graph graph;
      ASSERT_TRUE(Decode(text, &graph, &error)) << error << "\n" << text;
      ASSERT_EQ(graph.outputs.size(), 2u);
      const std::vector<Output> decoded = {{"terrain", graph.Output("terrain")},
                                           {"caves", graph.Output("caves")}};
      ASSERT_TRUE(Encode(decoded, Label, EncodeOptions{compact}, &again, &error)) << error;
      // Each double has one text, so the same text is the same bits.
      ASSERT_EQ(text, again) << "seed " << seed;
      ExpectSameValues(maker, first, *decoded[0].node);
      ExpectSameValues(maker, second, *decoded[1].node);
      // Shared nodes stay shared: the second output reads the first.
      EXPECT_EQ(decoded[1].node->source(0), decoded[0].node);
    }
  }
}

TEST(GraphFile, WritesReadableCanonicalText) {
  const OwnedNode perlin(CreateNode(Kind::kPerlin));
  const OwnedNode curve(CreateNode(Kind::kCurve));
  perlin->SetLabel("hills");
  curve->SetSource(0, perlin.get());
  const double inputs[] = {-1, 0, 0.5, 1};
  const double outputs[] = {-1, -0.0, 0.25, 1e300};
  SetCurvePoints(*curve, inputs, outputs, 4);
  std::string text, error;
  ASSERT_TRUE(Encode({{"main", curve.get()}}, Label, EncodeOptions{}, &text, &error)) << error;
  EXPECT_EQ(text, R"({
  "format": "noisebind-graph",
  "version": 1,
  "nodes": [
    {
      "id": "hills",
      "class": "Perlin",
      "sources": [],
      "fields": {
        "frequency": 1,
        "lacunarity": 2,
        "octaves": 6,
        "persistence": 0.5,
        "quality": "standard",
        "seed": 0
      }
    },
    {
      "id": "Curve#1",
      "class": "Curve",
      "sources": ["hills"],
      "fields": {
        "points": [
          [-1, -1],
          [0, -0.0],
          [0.5, 0.25],
          [1, 1e+300]
        ]
      }
    }
  ],
  "outputs": {
    "main": "Curve#1"
  }
}
)");
}

// A quality other than libnoise's three is refused by the engine: cast into
// the enum it was read as none of them, and beyond int's range undefined.
TEST(GraphFile, QualityOutsideTheThreeIsRefused) {
  const OwnedNode perlin(CreateNode(Kind::kPerlin));
  const Field& quality = *FindField(ClassOf(Kind::kPerlin), "quality");
  for (const double value : {3.0, -1.0, 0.5, DBL_MAX}) {
    EXPECT_STREQ(SetField(*perlin, quality, value), "must be 0 (fast), 1 (standard) or 2 (best)");
  }
  EXPECT_EQ(SetField(*perlin, quality, 2.0), nullptr);
  EXPECT_EQ(quality.get(*perlin), 2.0);
}

}  // namespace
}  // namespace noisebind::objects::testing
