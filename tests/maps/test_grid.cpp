#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/maps/grid.h"

namespace noisebind::maps {
namespace {

GridAxis Fixed(double value) {
  return GridAxis{false, value, 0.0, 1};
}

GridAxis Range(double from, double to, std::uint32_t count) {
  return GridAxis{true, from, to, count};
}

GridRequest Request(std::initializer_list<GridAxis> axes) {
  GridRequest request;
  for (const GridAxis& axis : axes) request.axes[request.arguments++] = axis;
  return request;
}

TEST(Grid, SizeFromTheRanges) {
  struct Case {
    GridRequest request;
    std::uint64_t limit;
    bool fits;
    std::uint32_t width;
    std::uint32_t height;
  };
  const Case cases[] = {
      {Request({}), 100, true, 1, 1},
      {Request({Fixed(1), Fixed(2)}), 100, true, 1, 1},
      {Request({Range(0, 1, 7)}), 100, true, 7, 1},
      {Request({Fixed(3), Range(0, 1, 7), Fixed(2), Range(0, 1, 3)}), 100, true, 7, 3},
      {Request({Range(0, 1, 2), Range(0, 1, 3), Range(0, 1, 4)}), 100, true, 2, 12},
      {Request({Range(0, 1, 10), Range(0, 1, 10)}), 100, true, 10, 10},
      {Request({Range(0, 1, 10), Range(0, 1, 11)}), 100, false, 0, 0},
      // Products that would wrap in 64 bits are refused, not wrapped.
      {Request({Range(0, 1, 4000000000u), Range(0, 1, 4000000000u), Range(0, 1, 4000000000u)}),
       UINT64_MAX, false, 0, 0},
  };
  for (const Case& c : cases) {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    EXPECT_EQ(GridSize(c.request, c.limit, &width, &height), c.fits);
    if (c.fits) {
      EXPECT_EQ(width, c.width);
      EXPECT_EQ(height, c.height);
    }
  }
}

TEST(Grid, RangeValuesIncludeBothEnds) {
  EXPECT_EQ(RangeValue(Range(2, 5, 1), 0), 2.0);
  EXPECT_EQ(RangeValue(Range(0, 1, 4), 3), 1.0);
  EXPECT_EQ(RangeValue(Range(8, 0, 5), 1), 6.0);
  EXPECT_EQ(RangeValue(Range(0.1, 0.7, 7), 3), 0.1 + 3 * (0.7 - 0.1) / 6);
  EXPECT_EQ(RangeValue(Fixed(4.5), 9), 4.5);
}

// Records each argument list as a number: the map shows which list went where.
class Digits final : public ArgumentSource {
 public:
  bool Values(Workspace*, const double* const* args, std::size_t count, double* out,
              std::string*) const override {
    for (std::size_t i = 0; i < count; ++i) {
      out[i] = args[0][i] * 10000 + args[1][i] * 100 + args[2][i];
    }
    return true;
  }
};

TEST(Grid, TheFirstRangeRunsAlongRowsTheOthersDownColumns) {
  // Arguments: a range of 3 (x), fixed 7, a range of 2, and the third
  // argument's range of 4 would be the next: here fixed.
  const GridRequest request = Request({Fixed(5), Range(0, 2, 300), Range(10, 11, 2)});
  std::vector<double> values(300 * 2);
  std::string error;
  for (unsigned threads : {1u, 2u}) {
    ASSERT_TRUE(SampleGrid(Digits(), request, RunOptions{threads, nullptr}, values.data(), &error));
    for (std::uint32_t j = 0; j < 2; ++j) {
      for (std::uint32_t i = 0; i < 300; ++i) {
        ASSERT_EQ(values[j * 300 + i], 5 * 10000 + (i * 2.0 / 299) * 100 + (10 + j))
            << i << ", " << j;
      }
    }
  }
}

// Sample 0 is the lower bound itself, and spans near the largest double give
// finite samples in order, where index * span alone would overflow.
TEST(Grid, SamplesOfHugeSpansStayFinite) {
  EXPECT_TRUE(std::signbit(RangeValue(Range(-0.0, 3.0, 4), 0)));
  const GridAxis huge = Range(-1e308, 7e307, 5);
  EXPECT_EQ(RangeValue(huge, 0), -1e308);
  double previous = -1e308;
  for (std::uint32_t k = 1; k < 5; ++k) {
    const double value = RangeValue(huge, k);
    EXPECT_TRUE(std::isfinite(value)) << k;
    EXPECT_GT(value, previous) << k;
    previous = value;
  }
  EXPECT_NEAR(previous, 7e307, 1e293);
  // Ordinary spans keep the script's arithmetic.
  EXPECT_EQ(RangeValue(Range(0.1, 0.7, 7), 5), 0.1 + 5 * (0.7 - 0.1) / 6);
  EXPECT_EQ(GridCoordinate(-0.7, 1.3, 37, 50), -0.7 + 37 * (1.3 - -0.7) / 50);
}

}  // namespace
}  // namespace noisebind::maps
