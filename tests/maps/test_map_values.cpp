#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/maps/map_values.h"

namespace noisebind::maps {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(MapValues, SizeLimits) {
  EXPECT_TRUE(MapSizeAllowed(1, 1));
  EXPECT_TRUE(MapSizeAllowed(kMaxMapSide, 268));
  EXPECT_TRUE(MapSizeAllowed(16384, 16384));
  EXPECT_FALSE(MapSizeAllowed(0, 5));
  EXPECT_FALSE(MapSizeAllowed(kMaxMapSide + 1, 1));
  EXPECT_FALSE(MapSizeAllowed(16384, 16385));
  // Volumes: the same count of values in all, each side within its limit.
  EXPECT_TRUE(MapSizeAllowed(1024, 512, 512));
  EXPECT_FALSE(MapSizeAllowed(1024, 512, 513));
  EXPECT_FALSE(MapSizeAllowed(1, 1, 0));
  EXPECT_FALSE(MapSizeAllowed(1, 1, kMaxMapSide + 1));
  EXPECT_FALSE(MapSizeAllowed(kMaxMapSide, kMaxMapSide, kMaxMapSide));
}

TEST(MapValues, RangeLeavesNaNAside) {
  struct Case {
    std::vector<double> values;
    double lowest;
    double highest;
  };
  const Case cases[] = {
      {{3.0}, 3.0, 3.0},
      {{1.0, -2.0, 0.5}, -2.0, 1.0},
      {{kNaN, 4.0, kNaN, -1.0}, -1.0, 4.0},
      {{kNaN, kNaN}, kNaN, kNaN},
  };
  for (const Case& c : cases) {
    double lowest = 0.0;
    double highest = 0.0;
    ValueRange(c.values.data(), c.values.size(), &lowest, &highest);
    EXPECT_TRUE(lowest == c.lowest || (std::isnan(lowest) && std::isnan(c.lowest)));
    EXPECT_TRUE(highest == c.highest || (std::isnan(highest) && std::isnan(c.highest)));
  }
}

TEST(MapValues, RescaleAndClamp) {
  std::vector<double> values = {-1.0, 0.0, 3.0, kNaN};
  Rescale(values.data(), values.size(), 0.0, 8.0);
  EXPECT_EQ(values[0], 0.0);
  EXPECT_EQ(values[1], 2.0);
  EXPECT_EQ(values[2], 8.0);
  EXPECT_TRUE(std::isnan(values[3]));
  Clamp(values.data(), values.size(), 1.0, 5.0);
  EXPECT_EQ(values[0], 1.0);
  EXPECT_EQ(values[1], 2.0);
  EXPECT_EQ(values[2], 5.0);
  std::vector<double> flat = {7.0, 7.0};
  Rescale(flat.data(), flat.size(), -1.0, 1.0);
  EXPECT_EQ(flat[0], -1.0);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();

bool Same(double a, double b) {
  return a == b || (std::isnan(a) && std::isnan(b));
}

TEST(MapValues, FiniteRangeLeavesInfinitiesAside) {
  const std::vector<double> values = {kInf, 2.0, kNaN, -kInf, -3.0};
  double lowest = 0.0;
  double highest = 0.0;
  FiniteRange(values.data(), values.size(), &lowest, &highest);
  EXPECT_EQ(lowest, -3.0);
  EXPECT_EQ(highest, 2.0);
  const std::vector<double> none = {kInf, kNaN};
  FiniteRange(none.data(), none.size(), &lowest, &highest);
  EXPECT_TRUE(std::isnan(lowest) && std::isnan(highest));
}

// Fractions and points between the ends of the double range stay finite
// and exact at the ends, where the differences would overflow.
TEST(MapValues, NoOverflowBetweenFiniteNumbers) {
  EXPECT_EQ(FractionOf(0.0, -1e308, 1e308), 0.5);
  EXPECT_EQ(FractionOf(1e308, -1e308, 1e308), 1.0);
  EXPECT_EQ(FractionOf(-kMax, -kMax, kMax), 0.0);
  EXPECT_EQ(FractionOf(kMax, -kMax, kMax), 1.0);
  EXPECT_EQ(FractionOf(kInf, -kMax, kMax), kInf);
  EXPECT_EQ(FractionOf(-kInf, 0.0, 1.0), -kInf);
  EXPECT_EQ(FractionOf(0.25, 0.0, 1.0), 0.25);
  EXPECT_EQ(Between(-1e308, 1e308, 0.5), 0.0);
  EXPECT_EQ(Between(-kMax, kMax, 0.0), -kMax);
  EXPECT_EQ(Between(-kMax, kMax, 1.0), kMax);
  EXPECT_DOUBLE_EQ(Between(-kMax, kMax, 0.75), kMax / 2);
  EXPECT_EQ(Between(2.0, 6.0, 0.25), 3.0);
}

TEST(MapValues, RescaleAtTheEndsOfTheDoubleRange) {
  struct Case {
    std::vector<double> values;
    double low, high;
    std::vector<double> expected;
  };
  const Case cases[] = {
      {{-1e308, 0.0, 1e308}, 0.0, 1.0, {0.0, 0.5, 1.0}},
      {{0.0, 0.5, 1.0}, -1e308, 1e308, {-1e308, 0.0, 1e308}},
      {{-kMax, kMax}, -kMax, kMax, {-kMax, kMax}},
      // Infinities go to the ends; the finite values span the range.
      {{kInf, 0.0, 1.0, -kInf, kNaN}, 0.0, 10.0, {10.0, 0.0, 10.0, 0.0, kNaN}},
      {{kInf, 5.0, -kInf}, -1.0, 1.0, {1.0, -1.0, -1.0}},
      {{kInf, kNaN}, -1.0, 1.0, {1.0, kNaN}},
  };
  for (const Case& c : cases) {
    std::vector<double> values = c.values;
    Rescale(values.data(), values.size(), c.low, c.high);
    for (std::size_t i = 0; i < values.size(); ++i) {
      EXPECT_TRUE(Same(values[i], c.expected[i]))
          << "value " << i << ": " << values[i] << ", expected " << c.expected[i];
    }
  }
}

}  // namespace
}  // namespace noisebind::maps
