#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/image/image_buffer.h"

namespace {

using noisebind::image::ComponentFromNumber;
using noisebind::image::ImageSizeAllowed;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(ComponentFromNumber, RoundsToTheNearestWithHalvesUpwards) {
  EXPECT_EQ(ComponentFromNumber(0.0), 0);
  EXPECT_EQ(ComponentFromNumber(0.5), 1);
  EXPECT_EQ(ComponentFromNumber(127.49), 127);
  EXPECT_EQ(ComponentFromNumber(127.5), 128);
  EXPECT_EQ(ComponentFromNumber(254.5), 255);
  // Adding a half to this rounds up to 1 in double arithmetic.
  EXPECT_EQ(ComponentFromNumber(std::nextafter(0.5, 0.0)), 0);
  EXPECT_EQ(ComponentFromNumber(std::nextafter(254.5, 0.0)), 254);
}

TEST(ComponentFromNumber, ClampsEverythingBeyondTheScale) {
  EXPECT_EQ(ComponentFromNumber(-0.4), 0);
  EXPECT_EQ(ComponentFromNumber(-0.0), 0);
  EXPECT_EQ(ComponentFromNumber(-1e300), 0);
  EXPECT_EQ(ComponentFromNumber(-kInfinity), 0);
  EXPECT_EQ(ComponentFromNumber(std::numeric_limits<double>::denorm_min()), 0);
  EXPECT_EQ(ComponentFromNumber(255.0), 255);
  EXPECT_EQ(ComponentFromNumber(255.7), 255);
  EXPECT_EQ(ComponentFromNumber(1e300), 255);
  EXPECT_EQ(ComponentFromNumber(kInfinity), 255);
}

TEST(ImageSizeAllowed, KeepsBothSidesAndThePixelCountWithinTheLimits) {
  EXPECT_TRUE(ImageSizeAllowed(1, 1));
  EXPECT_TRUE(ImageSizeAllowed(noisebind::image::kMaxImageSide, 1));
  EXPECT_TRUE(ImageSizeAllowed(1 << 14, 1 << 14));
  EXPECT_FALSE(ImageSizeAllowed(0, 10));
  EXPECT_FALSE(ImageSizeAllowed(10, 0));
  EXPECT_FALSE(ImageSizeAllowed(noisebind::image::kMaxImageSide + 1, 1));
  EXPECT_FALSE(ImageSizeAllowed(1, noisebind::image::kMaxImageSide + 1));
  EXPECT_FALSE(ImageSizeAllowed((1 << 14) + 1, 1 << 14));
  // The product would wrap in 32 bits.
  EXPECT_FALSE(ImageSizeAllowed(noisebind::image::kMaxImageSide, noisebind::image::kMaxImageSide));
}

}  // namespace
