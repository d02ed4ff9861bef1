// The exponent curve and the turbulence displacement.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "instances/shared_instances.h"
#include "libnoise_test.h"
#include "modules/direct_exponent.h"
#include "modules/direct_turbulence.h"

namespace noisebind {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(DirectExponent, MapsMinusOneToOneOntoItselfForPositiveExponents) {
  DirectExponent exponent;
  EXPECT_EQ(exponent.GetSourceModuleCount(), 1);
  EXPECT_EQ(exponent.GetExponent(), 1.0);
  for (double x : {-1.0, -0.3, 0.0, 0.7, 1.0, 4.0})
    EXPECT_NEAR(exponent.GetValue(x, 5, 5), x, 1e-15);
  EXPECT_EQ(exponent.GetValue(-3, 0, 0), 1.0);  // symmetric about -1
  exponent.SetExponent(2);
  EXPECT_EQ(exponent.GetValue(0, 0, 0), -0.5);
  for (double x : {-7.5, -1.25, 0.5, 3.0}) {
    EXPECT_EQ(exponent.GetValue(x, 0, 0), exponent.GetValue(-2 - x, 0, 0)) << x;
  }
}

TEST(DirectExponent, KeepsItsEndsForEveryExponent) {
  DirectExponent exponent;
  for (double e : {-3.0, -0.5, 0.0, 0.5, 2.0, 7.0}) {
    exponent.SetExponent(e);
    EXPECT_EQ(exponent.GetValue(1, 0, 0), 1.0) << e;
  }
  for (double e : {0.5, 2.0, 7.0}) {
    exponent.SetExponent(e);
    EXPECT_EQ(exponent.GetValue(-1, 0, 0), -1.0) << e;
  }
  exponent.SetExponent(0);
  EXPECT_EQ(exponent.GetValue(-1, 0, 0), 1.0);
  exponent.SetExponent(-2);
  EXPECT_EQ(exponent.GetValue(-1, 0, 0), kInf);
}

TEST(DirectTurbulence, StartsWithItsDefaults) {
  DirectTurbulence turbulence;
  EXPECT_EQ(turbulence.GetSourceModuleCount(), 1);
  EXPECT_EQ(turbulence.GetFrequency(), 1.0);
  EXPECT_EQ(turbulence.GetPower(), 1.0);
  EXPECT_EQ(turbulence.GetRoughnessCount(), 3);
  const noise::module::Perlin* fields[] = {&turbulence.GetDistortX(), &turbulence.GetDistortY(),
                                           &turbulence.GetDistortZ()};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(fields[i]->GetSeed(), i);
    EXPECT_EQ(fields[i]->GetOctaveCount(), 3);
    EXPECT_EQ(fields[i]->GetLacunarity(), 2.0);
    EXPECT_EQ(fields[i]->GetPersistence(), 0.5);
    EXPECT_EQ(fields[i]->GetNoiseQuality(), noise::QUALITY_STD);
  }
}

TEST(DirectTurbulence, DisplacesByThreeFieldsSampledAtFixedOffsets) {
  DirectTurbulence turbulence;
  turbulence.SetSeed(5);
  turbulence.SetFrequency(1.5);
  turbulence.SetPower(0.25);
  noise::module::Perlin field;
  field.SetFrequency(1.5);
  field.SetOctaveCount(3);
  const double x = 0.3, y = -1.7, z = 2.2;
  field.SetSeed(5);
  const double dx = field.GetValue(x + 12414 / 65536.0, y + 65124 / 65536.0, z + 31337 / 65536.0);
  field.SetSeed(6);
  const double dy = field.GetValue(x + 26519 / 65536.0, y + 18128 / 65536.0, z + 60493 / 65536.0);
  field.SetSeed(7);
  const double dz = field.GetValue(x + 53820 / 65536.0, y + 11213 / 65536.0, z + 44845 / 65536.0);

  LastDisplacedPoint = DisplacedPoint{9, 9, 9};
  EXPECT_EQ(turbulence.GetValue(x, y, z), 0.0);
  EXPECT_EQ(LastDisplacedPoint.x, x + dx * 0.25);
  EXPECT_EQ(LastDisplacedPoint.y, y + dy * 0.25);
  EXPECT_EQ(LastDisplacedPoint.z, z + dz * 0.25);

  // The displaced x depends on every input coordinate.
  turbulence.GetValue(x, y, z + 0.5);
  EXPECT_NE(LastDisplacedPoint.x, x + dx * 0.25);
}

TEST(DirectTurbulence, RefusesARoughnessOutsideOneToThirtyForAllThreeFields) {
  DirectTurbulence turbulence;
  turbulence.SetRoughness(30);
  EXPECT_EQ(turbulence.GetDistortZ().GetOctaveCount(), 30);
  for (int bad : {0, 31, -1, INT_MIN}) {
    EXPECT_THROW(turbulence.SetRoughness(bad), noise::ExceptionInvalidParam);
    EXPECT_EQ(turbulence.GetDistortX().GetOctaveCount(), 30);
    EXPECT_EQ(turbulence.GetDistortY().GetOctaveCount(), 30);
    EXPECT_EQ(turbulence.GetDistortZ().GetOctaveCount(), 30);
  }
}

TEST(DirectTurbulence, SeedsWrapAtTheEndOfTheIntegerRange) {
  DirectTurbulence turbulence;
  turbulence.SetSeed(INT_MAX);
  EXPECT_EQ(turbulence.GetDistortX().GetSeed(), INT_MAX);
  EXPECT_EQ(turbulence.GetDistortY().GetSeed(), INT_MIN);
  EXPECT_EQ(turbulence.GetDistortZ().GetSeed(), INT_MIN + 1);
}

using testing::CallOutcome;
using testing::Num;

class TurbulenceTable : public testing::LibNoiseTest {};

TEST_F(TurbulenceTable, SettersConvertAsScriptsExpect) {
  auto& turbulence = SharedInstances::turbulence;
  Call("M_Turbulence", "SetSeed", {Num(-2.7)});
  EXPECT_EQ(turbulence.GetDistortX().GetSeed(), -2);
  EXPECT_EQ(turbulence.GetDistortY().GetSeed(), -1);
  EXPECT_EQ(turbulence.GetDistortZ().GetSeed(), 0);
  Call("M_Turbulence", "SetRoughness", {Num(3.9)});
  EXPECT_EQ(turbulence.GetRoughnessCount(), 3);
  EXPECT_EQ(Call("M_Turbulence", "SetRoughness", {Num(31)}).kind, CallOutcome::kInvalidParam);
  EXPECT_EQ(Call("M_Turbulence", "SetRoughness", {Num(std::nan(""))}).kind,
            CallOutcome::kInvalidParam);
  EXPECT_EQ(turbulence.GetRoughnessCount(), 3);
  Call("M_Turbulence", "SetFrequency", {Num(2.5)});
  Call("M_Turbulence", "SetPower", {Num(2.5)});
  EXPECT_EQ(turbulence.GetFrequency(), 2.5);
  EXPECT_EQ(turbulence.GetDistortZ().GetFrequency(), 2.5);
  EXPECT_EQ(turbulence.GetPower(), 2.5);
}

TEST_F(TurbulenceTable, CalcReturnsItsOwnDisplacedPointInSinglePrecision) {
  const CallOutcome outcome = Call("M_Turbulence", "Calc", {Num(0.1), Num(0.2), Num(0.3)});
  EXPECT_EQ(outcome.count, 3);
  const DisplacedPoint point = LastDisplacedPoint;
  // Compared as floats: GCC 12 may drop a double-float-double round trip of
  // neighbouring values when it vectorises, so no such round trip here.
  ASSERT_EQ(host.Numbers().size(), 3u);
  EXPECT_EQ(static_cast<float>(host.Numbers()[0]), static_cast<float>(point.x));
  EXPECT_EQ(static_cast<float>(host.Numbers()[1]), static_cast<float>(point.y));
  EXPECT_EQ(static_cast<float>(host.Numbers()[2]), static_cast<float>(point.z));
  EXPECT_NE(host.Numbers()[0], point.x);  // really narrowed
  Call("M_Turbulence", "SetPower", {Num(0)});
  Call("M_Turbulence", "Calc", {Num(0.1), Num(0.2), Num(0.3)});
  EXPECT_EQ(host.Numbers(), (std::vector<double>{0.1f, 0.2f, 0.3f}));  // literals: no round trip
}

}  // namespace
}  // namespace noisebind
