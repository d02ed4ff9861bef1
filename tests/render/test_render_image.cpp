#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/render/render_image.h"

namespace noisebind::render {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Stops at the ends of the double range blend as any others do.
TEST(Gradient, StopsAtTheEndsOfTheDoubleRange) {
  const double most = std::numeric_limits<double>::max();
  const GradientStop stops[] = {
      {-most, {0, 0, 0, 255}},
      {1e308, {200, 100, 40, 255}},
  };
  const Colour middle = GradientColour(stops, 2, (1e308 - most) / 2);
  EXPECT_DOUBLE_EQ(middle.red, 100.0);
  EXPECT_DOUBLE_EQ(middle.green, 50.0);
  EXPECT_DOUBLE_EQ(GradientColour(stops, 2, 0.0).red, 200.0 * ((most / 2) / (most / 2 + 0.5e308)));
  EXPECT_DOUBLE_EQ(GradientColour(stops, 2, std::numeric_limits<double>::infinity()).red, 200.0);
  EXPECT_DOUBLE_EQ(GradientColour(stops, 2, -std::numeric_limits<double>::infinity()).red, 0.0);
}

TEST(Gradient, ColoursAtAndBetweenStops) {
  const GradientStop stops[] = {
      {-1.0, {0, 0, 100, 255}},
      {0.0, {100, 50, 0, 255}},
      {1.0, {200, 250, 0, 0}},
  };
  struct Case {
    double value;
    Colour colour;
  };
  const Case cases[] = {
      {-5.0, {0, 0, 100, 255}}, {-1.0, {0, 0, 100, 255}},      {-0.5, {50, 25, 50, 255}},
      {0.0, {100, 50, 0, 255}}, {0.25, {125, 100, 0, 191.25}}, {1.0, {200, 250, 0, 0}},
      {9.0, {200, 250, 0, 0}},  {kNaN, {0, 0, 100, 255}},
  };
  for (const Case& c : cases) {
    const Colour got = GradientColour(stops, 3, c.value);
    EXPECT_DOUBLE_EQ(got.red, c.colour.red) << c.value;
    EXPECT_DOUBLE_EQ(got.green, c.colour.green) << c.value;
    EXPECT_DOUBLE_EQ(got.blue, c.colour.blue) << c.value;
    EXPECT_DOUBLE_EQ(got.alpha, c.colour.alpha) << c.value;
  }
  const Colour only = GradientColour(stops, 1, 3.0);
  EXPECT_EQ(only.blue, 100.0);
}

// A picture to draw into, of pixels set to one grey.
struct Picture {
  Picture(std::uint32_t width, std::uint32_t height, unsigned char grey)
      : pixels(std::size_t{width} * height * 3, grey), buffer{width, height, pixels.data()} {}
  std::vector<unsigned char> pixels;
  noisebind::image::ImageBuffer buffer;
  const unsigned char* at(std::uint32_t x, std::uint32_t y) {
    return noisebind::image::PixelAt(buffer, x, y);
  }
};

TEST(RenderColours, AlphaBlendsOntoWhatThePixelHeld) {
  const std::vector<double> values = {0.0, 1.0};
  const maps::MapView map{2, 1, values.data()};
  const GradientStop stops[] = {{0.0, {200, 0, 0, 255}}, {1.0, {200, 0, 0, 0}}};
  Picture picture(2, 1, 100);
  RenderColours(map, ColourRendering{stops, 2, nullptr, false}, &picture.buffer);
  EXPECT_EQ(picture.at(0, 0)[0], 200);  // opaque
  EXPECT_EQ(picture.at(0, 0)[1], 0);
  EXPECT_EQ(picture.at(1, 0)[0], 100);  // transparent: the background stays
  EXPECT_EQ(picture.at(1, 0)[1], 100);
}

TEST(RenderColours, LightFallsOnSlopesFacingIt) {
  // A ridge rising towards the east (right): lit by a light from the west.
  const std::vector<double> values = {0.0, 0.5, 1.0, 0.0, 0.5, 1.0, 0.0, 0.5, 1.0};
  const maps::MapView map{3, 3, values.data()};
  const GradientStop grey[] = {{0.0, {200, 200, 200, 255}}};
  Light west;
  west.azimuth = 180.0;
  Light east;
  east.azimuth = 0.0;
  Light overhead;
  overhead.elevation = 90.0;
  overhead.formula = LightFormula::kNoiseUtils;
  Picture lit(3, 3, 0), shaded(3, 3, 0), flat(3, 3, 0);
  RenderColours(map, ColourRendering{grey, 1, &west, false}, &lit.buffer);
  RenderColours(map, ColourRendering{grey, 1, &east, false}, &shaded.buffer);
  RenderColours(map, ColourRendering{grey, 1, &overhead, false}, &flat.buffer);
  EXPECT_GT(lit.at(1, 1)[0], shaded.at(1, 1)[0]);
  // noiseutils' light straight above: slopes do not matter, the ambient
  // part, sqrt(2)/2.
  EXPECT_EQ(flat.at(1, 1)[0], noisebind::image::ComponentFromNumber(200 * std::sqrt(2.0) / 2.0));
  EXPECT_EQ(flat.at(0, 0)[0], flat.at(1, 1)[0]);
}

// Steep, flat, lit, shaded, at any elevation: the intensity stays a number
// from 0 up, and flat ground is 1.
TEST(LightModel, IntensityOfExtremeSlopes) {
  struct Case {
    double elevation;
    double rise;  // from left to right
    double low;
    double high;
  };
  const Case cases[] = {
      {45.0, 0.0, 1.0, 1.0},     {0.0, 0.0, 1.0, 1.0},
      {90.0, 0.0, 1.0, 1.0},     {0.0, 1.0, 0.0, 0.0},
      {45.0, 1e300, 0.0, 0.0},   {45.0, -1e300, 1.0, 1.5},
      {10.0, -1e-300, 1.0, 1.0}, {0.0, -1.0, 1e300, std::numeric_limits<double>::infinity()},
  };
  for (const Case& c : cases) {
    Light light;
    light.azimuth = 0.0;  // from the east: a slope rising to the right faces away
    light.elevation = c.elevation;
    const double got = LightModel(light).Intensity(Neighbours{0.0, 0.0, c.rise, 0.0, 0.0});
    EXPECT_GE(got, c.low) << c.elevation << " " << c.rise;
    EXPECT_LE(got, c.high) << c.elevation << " " << c.rise;
  }
}

TEST(RenderColours, WrappingTakesNeighboursFromTheOppositeEdge) {
  const std::vector<double> values = {0.0, 0.0, 1.0};
  const maps::MapView map{3, 1, values.data()};
  const Neighbours clamped = NeighboursAt(map, 0, 0, false);
  const Neighbours wrapped = NeighboursAt(map, 0, 0, true);
  EXPECT_EQ(clamped.left, 0.0);
  EXPECT_EQ(wrapped.left, 1.0);
  EXPECT_EQ(NeighboursAt(map, 2, 0, true).right, 0.0);
  EXPECT_EQ(NeighboursAt(map, 2, 0, false).right, 1.0);
}

TEST(RenderNormals, FlatIsStraightUpAndSlopesLean) {
  const std::vector<double> values = {0.0, 0.0, 0.0, 0.0, 1.0, 0.0};
  const maps::MapView map{3, 2, values.data()};
  Picture picture(3, 2, 0);
  RenderNormals(map, 1.0, false, &picture.buffer);
  const unsigned char* flat = picture.at(2, 0);
  EXPECT_EQ(flat[0], 128);
  EXPECT_EQ(flat[1], 128);
  EXPECT_EQ(flat[2], 255);
  // Left of a rise: the surface leans away from it, towards -x.
  EXPECT_LT(picture.at(0, 1)[0], 128);
  RenderNormals(map, 0.0, false, &picture.buffer);
  EXPECT_EQ(picture.at(0, 1)[0], 128);
}

}  // namespace
}  // namespace noisebind::render
