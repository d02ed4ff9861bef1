// Every class, with every field set away from its default, evaluates to the
// very doubles of the same libnoise graph built in C++; so do the models.
#include <libnoise/model/cylinder.h>
#include <libnoise/model/line.h>
#include <libnoise/model/plane.h>
#include <libnoise/model/sphere.h>
#include <libnoise/noise.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "engine/graph/node.h"
#include "lua_fixture.h"

namespace noisebind::objects::testing {
namespace {

using namespace noise::module;

// The same four sources on both sides.
constexpr char kSources[] = R"(
A = noise.Perlin{ seed = 1 }
B = noise.Billow{ seed = 2, frequency = 1.5 }
C = noise.Perlin{ seed = 3, frequency = 0.5, octaves = 3 }
D = noise.Voronoi{ seed = 4, frequency = 2 }
)";

struct Sources {
  Perlin a, c;
  Billow b;
  Voronoi d;
  Sources() {
    a.SetSeed(1);
    b.SetSeed(2);
    b.SetFrequency(1.5);
    c.SetSeed(3);
    c.SetFrequency(0.5);
    c.SetOctaveCount(3);
    d.SetSeed(4);
    d.SetFrequency(2);
  }
};

using Builder = std::function<std::unique_ptr<Module>(const Sources&)>;

struct Case {
  const char* lua;
  Builder build;
};

template <class M>
std::unique_ptr<Module> With(const Sources& s, int sources, const std::function<void(M&)>& set) {
  auto module = std::make_unique<M>();
  const Module* list[] = {&s.a, &s.b, &s.c, &s.d};
  for (int i = 0; i < sources; ++i) module->SetSourceModule(i, *list[i]);
  set(*module);
  return module;
}

template <class M>
Builder Plain(int sources) {
  return [sources](const Sources& s) { return With<M>(s, sources, [](M&) {}); };
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"noise.Abs(A)", Plain<Abs>(1)},
      {"noise.Add(A, B)", Plain<Add>(2)},
      {"noise.Billow{ frequency = 1.7, lacunarity = 2.1, octaves = 4, persistence = 0.6, "
       "quality = 'best', seed = 11 }",
       [](const Sources& s) {
         return With<Billow>(s, 0, [](Billow& m) {
           m.SetFrequency(1.7);
           m.SetLacunarity(2.1);
           m.SetOctaveCount(4);
           m.SetPersistence(0.6);
           m.SetNoiseQuality(noise::QUALITY_BEST);
           m.SetSeed(11);
         });
       }},
      {"noise.Blend(A, B, C)", Plain<Blend>(3)},
      {"noise.Cache(A)", Plain<Cache>(1)},
      {"noise.Checkerboard()", Plain<Checkerboard>(0)},
      {"noise.Clamp(A, { upper = 0.25, lower = -0.5 })",
       [](const Sources& s) {
         return With<Clamp>(s, 1, [](Clamp& m) { m.SetBounds(-0.5, 0.25); });
       }},
      {"noise.Const{ value = 0.375 }",
       [](const Sources& s) {
         return With<Const>(s, 0, [](Const& m) { m.SetConstValue(0.375); });
       }},
      {"noise.Curve(A, { points = { {-1, -0.5}, {0.4, 0.1}, {-0.2, 0.3}, {1, 0.9} } })",
       [](const Sources& s) {
         return With<Curve>(s, 1, [](Curve& m) {
           m.AddControlPoint(-1, -0.5);
           m.AddControlPoint(0.4, 0.1);
           m.AddControlPoint(-0.2, 0.3);
           m.AddControlPoint(1, 0.9);
         });
       }},
      {"(function() local c = noise.Curve(B) c:addpoint(-2, 1) c:addpoint(0, 0) "
       "c:addpoint(0.5, -1) c:addpoint(2, 2) c:addpoint(1, 0.25) return c end)()",
       [](const Sources& s) {
         auto module = std::make_unique<Curve>();
         module->SetSourceModule(0, s.b);
         for (const auto& [in, out] :
              {std::pair{-2.0, 1.0}, {0.0, 0.0}, {0.5, -1.0}, {2.0, 2.0}, {1.0, 0.25}}) {
           module->AddControlPoint(in, out);
         }
         return std::unique_ptr<Module>(std::move(module));
       }},
      {"noise.Cylinders{ frequency = 2.5 }",
       [](const Sources& s) {
         return With<Cylinders>(s, 0, [](Cylinders& m) { m.SetFrequency(2.5); });
       }},
      {"noise.Displace(A, B, C, D)", Plain<Displace>(4)},
      {"noise.Exponent(A, { exponent = 2.5 })",
       [](const Sources& s) {
         return With<Exponent>(s, 1, [](Exponent& m) { m.SetExponent(2.5); });
       }},
      {"noise.Invert(A)", Plain<Invert>(1)},
      {"noise.Max(A, B)", Plain<Max>(2)},
      {"noise.Min(A, B)", Plain<Min>(2)},
      {"noise.Multiply(A, B)", Plain<Multiply>(2)},
      {"noise.Perlin{ frequency = 1.3, lacunarity = 2.2, octaves = 5, persistence = 0.45, "
       "quality = 'fast', seed = -5 }",
       [](const Sources& s) {
         return With<Perlin>(s, 0, [](Perlin& m) {
           m.SetFrequency(1.3);
           m.SetLacunarity(2.2);
           m.SetOctaveCount(5);
           m.SetPersistence(0.45);
           m.SetNoiseQuality(noise::QUALITY_FAST);
           m.SetSeed(-5);
         });
       }},
      {"noise.Power(A, B)", Plain<Power>(2)},
      {"noise.RidgedMulti{ frequency = 0.8, lacunarity = 2.3, octaves = 7, quality = 3, "
       "seed = 99 }",
       [](const Sources& s) {
         return With<RidgedMulti>(s, 0, [](RidgedMulti& m) {
           m.SetFrequency(0.8);
           m.SetLacunarity(2.3);
           m.SetOctaveCount(7);
           m.SetNoiseQuality(noise::QUALITY_BEST);
           m.SetSeed(99);
         });
       }},
      {"noise.RotatePoint(A, { x = 10, y = 20, z = 30 })",
       [](const Sources& s) {
         return With<RotatePoint>(s, 1, [](RotatePoint& m) { m.SetAngles(10, 20, 30); });
       }},
      {"noise.ScaleBias(A, { scale = 1.5, bias = 0.25 })",
       [](const Sources& s) {
         return With<ScaleBias>(s, 1, [](ScaleBias& m) {
           m.SetScale(1.5);
           m.SetBias(0.25);
         });
       }},
      {"noise.ScalePoint(A, { x = 0.5, y = 2, z = 1.5 })",
       [](const Sources& s) {
         return With<ScalePoint>(s, 1, [](ScalePoint& m) { m.SetScale(0.5, 2, 1.5); });
       }},
      {"noise.Select(A, B, C, { falloff = 0.1, lower = -0.25, upper = 0.5 })",
       [](const Sources& s) {
         return With<Select>(s, 3, [](Select& m) {
           m.SetBounds(-0.25, 0.5);
           m.SetEdgeFalloff(0.1);
         });
       }},
      {"noise.Spheres{ frequency = 3 }",
       [](const Sources& s) { return With<Spheres>(s, 0, [](Spheres& m) { m.SetFrequency(3); }); }},
      {"noise.Terrace(A, { points = { 1, -1, 0.2, -0.3 }, invert = true })",
       [](const Sources& s) {
         return With<Terrace>(s, 1, [](Terrace& m) {
           for (double value : {1.0, -1.0, 0.2, -0.3}) m.AddControlPoint(value);
           m.InvertTerraces(true);
         });
       }},
      {"(function() local t = noise.Terrace(A) t:makepoints(5) return t end)()",
       [](const Sources& s) {
         return With<Terrace>(s, 1, [](Terrace& m) { m.MakeControlPoints(5); });
       }},
      {"noise.TranslatePoint(A, { x = 0.5, y = -1, z = 2 })",
       [](const Sources& s) {
         return With<TranslatePoint>(s, 1, [](TranslatePoint& m) { m.SetTranslation(0.5, -1, 2); });
       }},
      {"noise.Turbulence(A, { frequency = 2, power = 0.3, roughness = 4, seed = 8 })",
       [](const Sources& s) {
         return With<Turbulence>(s, 1, [](Turbulence& m) {
           m.SetFrequency(2);
           m.SetPower(0.3);
           m.SetRoughness(4);
           m.SetSeed(8);
         });
       }},
      {"noise.Voronoi{ displacement = 0.5, distance = true, frequency = 1.5, seed = 12 }",
       [](const Sources& s) {
         return With<Voronoi>(s, 0, [](Voronoi& m) {
           m.SetDisplacement(0.5);
           m.EnableDistance(true);
           m.SetFrequency(1.5);
           m.SetSeed(12);
         });
       }},
  };
  return cases;
}

// Points on both sides of zero, off the lattice, and far out.
std::vector<std::array<double, 3>> Points() {
  std::vector<std::array<double, 3>> points;
  for (int i = 0; i < 40; ++i) {
    const double t = i * 0.731 - 13.1;
    points.push_back({t, std::sin(t) * 5.3, t * t / 7.0 - 3.3});
  }
  points.push_back({1e6 + 0.5, -2e5, 12345.678});
  return points;
}

bool Same(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

class BitForBit : public LuaFixture {
 protected:
  void SetUp() override { Run(kSources); }
  Sources sources;
};

TEST_F(BitForBit, EveryClassAndFieldAsLibnoise) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.lua);
    Run(std::string("obj = ") + c.lua);
    const std::unique_ptr<Module> module = c.build(sources);
    for (const auto& [x, y, z] : Points()) {
      const double expected = module->GetValue(x, y, z);
      const double actual = Call("obj", "calc", x, y, z);
      EXPECT_TRUE(Same(actual, expected))
          << x << ", " << y << ", " << z << ": " << actual << " vs " << expected;
    }
  }
}

TEST_F(BitForBit, EveryClassIsCovered) {
  std::string all;
  for (const Case& c : Cases()) all += c.lua;
  for (int k = 0; k < kKindCount; ++k) {
    const std::string name = std::string("noise.") + KindName(static_cast<Kind>(k));
    const bool covered =
        all.find(name + "(") != std::string::npos || all.find(name + "{") != std::string::npos;
    EXPECT_TRUE(covered) << name;
  }
}

TEST_F(BitForBit, ModelsAsLibnoise) {
  Run("obj = noise.Select(A, B, C, { lower = -0.2, upper = 0.3, falloff = 0.05 })");
  Select select;
  select.SetSourceModule(0, sources.a);
  select.SetSourceModule(1, sources.b);
  select.SetSourceModule(2, sources.c);
  select.SetBounds(-0.2, 0.3);
  select.SetEdgeFalloff(0.05);
  noise::model::Plane plane(select);
  noise::model::Sphere sphere(select);
  noise::model::Cylinder cylinder(select);
  noise::model::Line line(select);
  line.SetStartPoint(-1.5, 0.25, 3);
  line.SetEndPoint(2, -0.75, 1.125);
  Run("start, finish = { -1.5, 0.25, 3 }, { 2, -0.75, 1.125 }");
  for (const auto& [a, b, c] : Points()) {
    (void)c;
    EXPECT_TRUE(Same(Call("obj", "plane", a, b, 0), plane.GetValue(a, b)));
    EXPECT_TRUE(Same(Call("obj", "sphere", a, b, 0), sphere.GetValue(a, b)));
    EXPECT_TRUE(Same(Call("obj", "cylinder", a, b, 0), cylinder.GetValue(a, b)));
    const double p = a / 10;
    lua_pushnumber(L, p);
    lua_setglobal(L, "p");
    line.SetAttenuate(true);
    EXPECT_TRUE(Same(Number("obj:line(p, start, finish)"), line.GetValue(p)));
    EXPECT_TRUE(Same(Number("obj:line(p, start, finish, true)"), line.GetValue(p)));
    line.SetAttenuate(false);
    EXPECT_TRUE(Same(Number("obj:line(p, start, finish, false)"), line.GetValue(p)));
  }
}

}  // namespace
}  // namespace noisebind::objects::testing
