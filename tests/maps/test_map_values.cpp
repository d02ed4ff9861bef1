#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "maps/map_values.h"

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

}  // namespace
}  // namespace noisebind::maps
