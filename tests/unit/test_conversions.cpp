// Script numbers as integers and qualities, defined for every double.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "bind/quality.h"
#include "entry/conversions.h"

namespace noisebind {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(ToInt32, TruncatesTowardZeroAndSaturatesOutsideTheRange) {
  const std::pair<double, std::int32_t> cases[] = {
      {2.9, 2},
      {-2.9, -2},
      {0.5, 0},
      {-0.5, 0},
      {-0.0, 0},
      {11.9, 11},
      {kNaN, 0},
      {-kNaN, 0},
      {kInf, kMax},
      {-kInf, kMin},
      {1e300, kMax},
      {-1e300, kMin},
      {2147483647.0, kMax},
      {2147483647.9, kMax},
      {2147483648.0, kMax},
      {-2147483648.0, kMin},
      {-2147483648.9, kMin},
      {-2147483649.0, kMin},
      {-2147483647.5, -2147483647},
      {4.9e-324, 0},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(ToInt32(input), expected) << input;
}

TEST(WrappingAdd, WrapsLikeTwosComplement) {
  EXPECT_EQ(WrappingAdd(kMax, 1), kMin);
  EXPECT_EQ(WrappingAdd(kMax, 2), kMin + 1);
  EXPECT_EQ(WrappingAdd(kMin, -1), kMax);
  EXPECT_EQ(WrappingAdd(-2, 2), 0);
  EXPECT_EQ(WrappingAdd(-3, 1), -2);
}

TEST(DecodeQuality, OneIsFastThreeIsBestEverythingElseStandard) {
  for (double code : {1.0, 1.5, 1.99}) EXPECT_EQ(DecodeQuality(code), noise::QUALITY_FAST) << code;
  for (double code : {3.0, 3.5, 3.7}) EXPECT_EQ(DecodeQuality(code), noise::QUALITY_BEST) << code;
  for (double code : {0.0, 0.5, 2.0, 2.99, -1.0, -1.5, -3.0, 4.0, kNaN, kInf, -kInf, 1e300}) {
    EXPECT_EQ(DecodeQuality(code), noise::QUALITY_STD) << code;
  }
}

}  // namespace
}  // namespace noisebind
