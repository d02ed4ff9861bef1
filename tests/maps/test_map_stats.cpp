#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/maps/map_bounds.h"
#include "engine/maps/map_stats.h"

namespace noisebind::maps {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();

bool Same(double a, double b) {
  return a == b || (std::isnan(a) && std::isnan(b));
}

TEST(MapStats, Figures) {
  struct Case {
    const char* description;
    std::vector<double> values;
    std::uint32_t bins;
    std::size_t nan, infinite;
    double lowest, highest, mean;
    std::vector<std::size_t> histogram;
  };
  const Case cases[] = {
      {"the last part closed", {0, 1, 2, 3}, 3, 0, 0, 0, 3, 1.5, {1, 1, 2}},
      {"one value, in the first part", {5, 5}, 2, 0, 0, 5, 5, 5, {2, 0}},
      {"NaN and infinities left aside", {kNaN, -kInf, 1, kInf, 3}, 2, 1, 2, 1, 3, 2, {1, 1}},
      {"nothing finite", {kNaN, kInf}, 1, 1, 1, kNaN, kNaN, kNaN, {0}},
      {"no overflow at the ends",
       {kMax, kMax, -kMax, kMax},
       2,
       0,
       0,
       -kMax,
       kMax,
       kMax / 2,
       {1, 3}},
      {"the extremes apart", {-kMax, kMax}, 4, 0, 0, -kMax, kMax, 0, {1, 0, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.description);
    std::vector<std::size_t> histogram(c.bins, 99);
    const MapStats stats = ComputeStats(c.values.data(), c.values.size(), c.bins, histogram.data());
    EXPECT_EQ(stats.count, c.values.size());
    EXPECT_EQ(stats.nan, c.nan);
    EXPECT_EQ(stats.infinite, c.infinite);
    EXPECT_TRUE(Same(stats.lowest, c.lowest)) << stats.lowest;
    EXPECT_TRUE(Same(stats.highest, c.highest)) << stats.highest;
    EXPECT_TRUE(Same(stats.mean, c.mean)) << stats.mean;
    EXPECT_EQ(histogram, c.histogram);
  }
}

TEST(MapBounds, FaultsAndOrder) {
  struct Case {
    Projection projection;
    double bounds[4];
    SpanFault fault;
    int pair;
  };
  const Case cases[] = {
      {Projection::kPlane, {1, 0, 0, 1}, SpanFault::kReversed, 0},
      {Projection::kPlane, {0, 1, 2, 2}, SpanFault::kReversed, 1},
      {Projection::kPlane, {0, 1, -1e308, 1e308}, SpanFault::kInfinite, 1},
      {Projection::kSphere, {-91, 0, 0, 1}, SpanFault::kOutside, 0},
      {Projection::kSphere, {0, 10, 0, 360}, SpanFault::kOutside, 1},
      {Projection::kCylinder, {0, 1e9, -5, 5}, SpanFault::kNone, 0},
  };
  for (const Case& c : cases) {
    MapRequest request;
    int pair = 0;
    EXPECT_EQ(SetBounds(c.projection, c.bounds, &request, &pair), c.fault);
    if (c.fault != SpanFault::kNone) {
      EXPECT_EQ(pair, c.pair);
    }
  }
  // Spheres take latitudes (the rows) first, and put north at the top.
  MapRequest request;
  int pair = 0;
  const double bounds[4] = {-10, 20, -30, 40};
  ASSERT_EQ(SetBounds(Projection::kSphere, bounds, &request, &pair), SpanFault::kNone);
  EXPECT_EQ(request.rowFrom, -10);
  EXPECT_EQ(request.rowTo, 20);
  EXPECT_EQ(request.columnFrom, -30);
  EXPECT_EQ(request.columnTo, 40);
  EXPECT_TRUE(request.flip);
  EXPECT_EQ(request.projection, Projection::kSphere);
}

}  // namespace
}  // namespace noisebind::maps
