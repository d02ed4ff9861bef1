// What the generator setters hand the library, and what it refuses.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "instances/shared_instances.h"
#include "libnoise_test.h"

namespace noisebind {
namespace {

using testing::Bool;
using testing::CallOutcome;
using testing::Num;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class Generators : public testing::LibNoiseTest {};

TEST_F(Generators, QualityCodesAreDecodedForEveryFractalGenerator) {
  const std::pair<double, noise::NoiseQuality> cases[] = {
      {1, noise::QUALITY_FAST},   {1.9, noise::QUALITY_FAST}, {3, noise::QUALITY_BEST},
      {3.7, noise::QUALITY_BEST}, {2, noise::QUALITY_STD},    {0, noise::QUALITY_STD},
      {-1, noise::QUALITY_STD},   {4, noise::QUALITY_STD},    {kNaN, noise::QUALITY_STD},
  };
  for (const auto& [code, quality] : cases) {
    Call("M_Billow", "SetNoiseQuality", {Num(code)});
    Call("M_Perlin", "SetNoiseQuality", {Num(code)});
    Call("M_RidgedMulti", "SetNoiseQuality", {Num(code)});
    EXPECT_EQ(SharedInstances::billow.GetNoiseQuality(), quality) << code;
    EXPECT_EQ(SharedInstances::perlin.GetNoiseQuality(), quality) << code;
    EXPECT_EQ(SharedInstances::ridgedMulti.GetNoiseQuality(), quality) << code;
  }
}

TEST_F(Generators, OctaveCountsAreTruncatedAndTheLibraryRefusalsKeepTheCount) {
  Call("M_Billow", "SetOctaveCount", {Num(6.9)});
  EXPECT_EQ(SharedInstances::billow.GetOctaveCount(), 6);
  Call("M_Billow", "SetOctaveCount", {Num(30)});
  Call("M_Perlin", "SetOctaveCount", {Num(1)});
  EXPECT_EQ(SharedInstances::billow.GetOctaveCount(), 30);
  EXPECT_EQ(SharedInstances::perlin.GetOctaveCount(), 1);
  for (double bad : {0.5, 31.0, -1.0, kNaN, kInf, -kInf, 1e300}) {
    EXPECT_EQ(Call("M_Billow", "SetOctaveCount", {Num(bad)}).kind, CallOutcome::kInvalidParam);
    EXPECT_EQ(Call("M_Perlin", "SetOctaveCount", {Num(bad)}).kind, CallOutcome::kInvalidParam);
  }
  EXPECT_EQ(SharedInstances::billow.GetOctaveCount(), 30);
  EXPECT_EQ(SharedInstances::perlin.GetOctaveCount(), 1);

  Call("M_RidgedMulti", "SetOctaveCount", {Num(0)});
  EXPECT_EQ(SharedInstances::ridgedMulti.GetOctaveCount(), 0);
  Call("M_RidgedMulti", "SetOctaveCount", {Num(-kInf)});
  EXPECT_EQ(SharedInstances::ridgedMulti.GetOctaveCount(), INT_MIN);
  EXPECT_EQ(Call("M_RidgedMulti", "SetOctaveCount", {Num(31)}).kind, CallOutcome::kInvalidParam);
  EXPECT_EQ(SharedInstances::ridgedMulti.GetOctaveCount(), INT_MIN);
}

TEST_F(Generators, SeedsAreTruncatedTowardZeroAndSaturate) {
  const std::pair<double, int> cases[] = {
      {-3.7, -3}, {2.9, 2}, {kNaN, 0}, {1e300, INT_MAX}, {-kInf, INT_MIN}};
  for (const auto& [seed, expected] : cases) {
    for (const char* table : {"M_Billow", "M_Perlin", "M_RidgedMulti", "M_Voronoi"}) {
      Call(table, "SetSeed", {Num(seed)});
    }
    EXPECT_EQ(SharedInstances::billow.GetSeed(), expected);
    EXPECT_EQ(SharedInstances::perlin.GetSeed(), expected);
    EXPECT_EQ(SharedInstances::ridgedMulti.GetSeed(), expected);
    EXPECT_EQ(SharedInstances::voronoi.GetSeed(), expected);
  }
}

TEST_F(Generators, NumbersReachTheLibraryUnchanged) {
  Call("M_Perlin", "SetPersistence", {Num(-0.25)});
  Call("M_Billow", "SetLacunarity", {Num(kInf)});
  Call("M_Voronoi", "SetDisplacement", {Num(2.5)});
  Call("M_Spheres", "SetFrequency", {Num(0)});
  Call("M_Cylinders", "SetFrequency", {Num(-3.5)});
  EXPECT_EQ(SharedInstances::perlin.GetPersistence(), -0.25);
  EXPECT_EQ(SharedInstances::billow.GetLacunarity(), kInf);
  EXPECT_EQ(SharedInstances::voronoi.GetDisplacement(), 2.5);
  EXPECT_EQ(SharedInstances::spheres.GetFrequency(), 0);
  EXPECT_EQ(SharedInstances::cylinders.GetFrequency(), -3.5);

  Call("M_Voronoi", "EnableDistance", {Bool(true)});
  EXPECT_TRUE(SharedInstances::voronoi.IsDistanceEnabled());
  Call("M_Voronoi", "EnableDistance", {Bool(false)});
  EXPECT_FALSE(SharedInstances::voronoi.IsDistanceEnabled());
}

// libnoise's cylinders ignore y, so the y a call uses cannot be seen; what
// can is that the two arguments are x and z, not x and y.
TEST_F(Generators, CylindersTakeTheirArgumentsAsXAndZ) {
  const double value = Value("M_Cylinders", "Calc", {Num(0.3), Num(0.4)});
  EXPECT_EQ(value, static_cast<float>(SharedInstances::cylinders.GetValue(0.3, 0, 0.4)));
  EXPECT_NE(value, static_cast<float>(SharedInstances::cylinders.GetValue(0.3, 0.4, 0)));
}

}  // namespace
}  // namespace noisebind
