// Settings through the engine: refusals change nothing, integers convert as
// LibNoise converts them, and the binding reads and writes the same values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "engine/graph/classes.h"
#include "engine/graph/node.h"
#include "lua_fixture.h"

namespace noisebind::objects {
namespace {

struct Destroy {
  void operator()(Node* node) const { DestroyNode(node); }
};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Refusal {
  Kind kind;
  const char* field;
  double value;
  const char* reason;
};

TEST(Settings, RefusedValuesChangeNothing) {
  const Refusal refusals[] = {
      {Kind::kPerlin, "octaves", 0, "must be an integer from 1 to 30"},
      {Kind::kPerlin, "octaves", 31, "must be an integer from 1 to 30"},
      {Kind::kPerlin, "octaves", kNaN, "must be an integer from 1 to 30"},
      {Kind::kBillow, "octaves", kInf, "must be an integer from 1 to 30"},
      {Kind::kRidgedMulti, "octaves", 0, "must be an integer from 1 to 30"},
      {Kind::kRidgedMulti, "octaves", -3, "must be an integer from 1 to 30"},
      {Kind::kTurbulence, "roughness", 31, "must be an integer from 1 to 30"},
      {Kind::kPerlin, "frequency", kNaN, "must be a finite number"},
      {Kind::kVoronoi, "displacement", -kInf, "must be a finite number"},
      {Kind::kClamp, "lower", 1.5, "must be below upper"},
      {Kind::kClamp, "upper", -1.5, "must be above lower"},
      {Kind::kSelect, "lower", 2, "must be below upper"},
      // Equal bounds: libnoise asserts lower < upper and would abort.
      {Kind::kClamp, "lower", 1, "must be below upper"},
      {Kind::kSelect, "upper", -1, "must be above lower"},
      {Kind::kSelect, "upper", kNaN, "must be a finite number"},
  };
  for (const Refusal& r : refusals) {
    const std::unique_ptr<Node, Destroy> node(CreateNode(r.kind));
    const Field* field = FindField(ClassOf(r.kind), r.field);
    ASSERT_NE(field, nullptr) << r.field;
    const double before = field->get(*node);
    const char* reason = SetField(*node, *field, r.value);
    ASSERT_NE(reason, nullptr) << node->name() << "." << r.field << " = " << r.value;
    EXPECT_STREQ(reason, r.reason);
    EXPECT_EQ(field->get(*node), before) << node->name() << "." << r.field;
  }
}

TEST(Settings, IntegersConvertAsLibNoiseDoes) {
  const std::unique_ptr<Node, Destroy> node(CreateNode(Kind::kPerlin));
  const Field* seed = FindField(ClassOf(Kind::kPerlin), "seed");
  const Field* octaves = FindField(ClassOf(Kind::kPerlin), "octaves");
  const double cases[][2] = {
      {6.9, 6}, {-6.9, -6}, {kNaN, 0}, {kInf, 2147483647.0}, {-1e300, -2147483648.0},
  };
  for (const auto& [given, stored] : cases) {
    ASSERT_EQ(SetField(*node, *seed, given), nullptr);
    EXPECT_EQ(seed->get(*node), stored) << given;
  }
  ASSERT_EQ(SetField(*node, *octaves, 30.99), nullptr);
  EXPECT_EQ(octaves->get(*node), 30);
}

// Select keeps libnoise's rule: the falloff is at most half the range.
TEST(Settings, SelectFalloffIsLibnoises) {
  const std::unique_ptr<Node, Destroy> node(CreateNode(Kind::kSelect));
  const ClassInfo& info = ClassOf(Kind::kSelect);
  ASSERT_EQ(SetField(*node, *FindField(info, "falloff"), 5), nullptr);
  EXPECT_EQ(FindField(info, "falloff")->get(*node), 1);
}

using Binding = testing::LuaFixture;

TEST_F(Binding, ConstructorTablesApplyInTheClassesOrder) {
  // lower above the default upper, given before upper: both are applied.
  Run("c = noise.Clamp(nil, { lower = 2, upper = 3 })");
  EXPECT_EQ(Number("c.lower"), 2);
  EXPECT_EQ(Number("c.upper"), 3);
  Run("s = noise.Select(nil, nil, nil, { falloff = 0.75, upper = 5, lower = 4 })");
  EXPECT_EQ(Number("s.falloff"), 0.5);
  EXPECT_EQ(Error("noise.Clamp(nil, { lower = 4, upper = 3 })"),
            "Clamp.lower must be below upper, got 4");
}

TEST_F(Binding, QualityTakesNamesAndLibNoiseCodes) {
  Run("p = noise.Perlin{ quality = 'best' }");
  EXPECT_EQ(Error("assert(p.quality == 'best')"), "");
  Run("p.quality = 1");
  EXPECT_EQ(Error("assert(p.quality == 'fast')"), "");
  Run("p.quality = 'standard'");
  EXPECT_EQ(Error("assert(p.quality == 'standard')"), "");
  EXPECT_EQ(Error("p.quality = 0"),
            "Perlin.quality must be 'fast', 'standard' or 'best' (or 1 to 3), got 0");
}

}  // namespace
}  // namespace noisebind::objects
