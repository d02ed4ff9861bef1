// One tile: its pixels at their centres, its encodings, its refusals, and
// the same bytes on any number of threads.
#include <gtest/gtest.h>
#include <libnoise/module/perlin.h>

#include <cmath>
#include <fstream>
#include <limits>

#include "engine/graph/classes.h"
#include "engine/maps/node_source.h"
#include "engine/render/heightmap_files.h"
#include "engine/tiles/tile_maker.h"
#include "grey16_reader.h"
#include "scratch_directory.h"

namespace noisebind::tiles {
namespace {

struct Perlin {
  Perlin() : node(objects::CreateNode(objects::Kind::kPerlin)), source(*node) {}
  ~Perlin() { objects::DestroyNode(node); }
  objects::Node* node;
  maps::NodeSource<objects::Node> source;
};

const TileGrid kSphere{Surface::kSphere, {}};
const TileGrid kPlane{Surface::kPlane, {0.0, 0.0, 4.0, 4.0}};

TEST(TileMaker, TerrainRgbCodesTenthsOfMetresFromMinus10000) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double value, scale;
    std::uint32_t code;
  } cases[] = {
      {0.0, 1000.0, 100000},
      {1.0, 1000.0, 110000},
      {-1.0, 1000.0, 90000},
      {0.00005, 1000.0, 100001},
      {0.00004, 1000.0, 100000},
      {-10.0, 1000.0, 0},
      {1e300, 1000.0, 0xFFFFFF},
      {inf, 1.0, 0xFFFFFF},
      {-inf, 1.0, 0},
      {nan, 1.0, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(TerrainRgbCode(c.value, c.scale), c.code) << c.value;
}

TEST(TileMaker, PixelsAreTheGraphAtTheirCentres) {
  Perlin perlin;
  std::string bytes, error;
  ASSERT_TRUE(MakeTile(perlin.source, kPlane, {1, 1, 0}, 4, TileFormat::kHeightmap16,
                       DefaultStyle(), 1, &bytes, &error))
      << error;
  vessa_test::ScratchDirectory scratch;
  std::ofstream(scratch.File("tile.png"), std::ios::binary) << bytes;
  noisebind_test::Grey16 picture;
  ASSERT_TRUE(noisebind_test::ReadGrey16(scratch.File("tile.png"), &picture, &error)) << error;
  ASSERT_EQ(picture.width * 10 + picture.height, 44u);
  // Tile (1, 1, 0) of x 0..4, z 0..4 covers x 2..4, z 0..2; pixels 0.5 apart.
  const noise::module::Module& module = perlin.node->module();
  for (std::uint32_t y = 0; y < 4; ++y) {
    for (std::uint32_t x = 0; x < 4; ++x) {
      const double value = module.GetValue(2.25 + 0.5 * x, 0.0, 0.25 + 0.5 * y);
      EXPECT_EQ(picture.levels[y * 4 + x], render::GreyLevel(value, -1.0, 1.0)) << x << y;
    }
  }
}

TEST(TileMaker, SameBytesOnAnyNumberOfThreads) {
  Perlin perlin;
  for (TileFormat format : {TileFormat::kPng, TileFormat::kHeightmap16, TileFormat::kTerrainRgb}) {
    std::string one, three, error;
    ASSERT_TRUE(
        MakeTile(perlin.source, kSphere, {2, 5, 1}, 32, format, DefaultStyle(), 1, &one, &error))
        << error;
    ASSERT_TRUE(
        MakeTile(perlin.source, kSphere, {2, 5, 1}, 32, format, DefaultStyle(), 3, &three, &error))
        << error;
    EXPECT_EQ(one, three) << FormatName(format);
    EXPECT_EQ(one.substr(1, 3), "PNG");
  }
}

TEST(TileMaker, SamplesWithTheirBorderAreWhatEveryFormatEncodes) {
  Perlin perlin;
  TileSamples samples;
  std::string error;
  ASSERT_TRUE(SampleTile(perlin.source, kPlane, {1, 1, 0}, 4, 2, &samples, &error)) << error;
  ASSERT_EQ(samples.side, 6u);
  ASSERT_EQ(samples.values.size(), 36u);
  // Tile (1, 1, 0) of x 0..4, z 0..4: pixel centres 0.5 apart from x 2.25,
  // z 0.25, and the border half a pixel outside the tile.
  const noise::module::Module& module = perlin.node->module();
  const struct {
    std::uint32_t column, row;
    double x, z;
  } points[] = {{1, 1, 2.25, 0.25}, {4, 2, 3.75, 0.75}, {0, 0, 1.75, -0.25}, {5, 5, 4.25, 2.25}};
  for (const auto& p : points) {
    EXPECT_EQ(samples.values[p.row * 6 + p.column], module.GetValue(p.x, 0.0, p.z))
        << p.column << "," << p.row;
  }
  for (TileFormat format : {TileFormat::kPng, TileFormat::kHeightmap16, TileFormat::kTerrainRgb}) {
    std::string encoded, made;
    ASSERT_TRUE(EncodeTile(samples, kPlane, {1, 1, 0}, format, DefaultStyle(), &encoded, &error))
        << error;
    ASSERT_TRUE(
        MakeTile(perlin.source, kPlane, {1, 1, 0}, 4, format, DefaultStyle(), 1, &made, &error))
        << error;
    EXPECT_EQ(encoded, made) << FormatName(format);
  }
  samples.values.pop_back();
  std::string bytes;
  EXPECT_FALSE(
      EncodeTile(samples, kPlane, {1, 1, 0}, TileFormat::kPng, DefaultStyle(), &bytes, &error));
  EXPECT_EQ(error, "the samples are not a tile's");
}

TEST(TileMaker, RefusesWhatItCannotMake) {
  Perlin perlin;
  TileStyle noStops = DefaultStyle();
  noStops.gradient.clear();
  TileStyle flat = DefaultStyle();
  flat.high = flat.low;
  TileStyle noScale = DefaultStyle();
  noScale.heightScale = 0.0;
  const struct {
    TileAddress tile;
    std::uint32_t size;
    TileFormat format;
    const TileStyle* style;
    const char* error;
  } cases[] = {
      {{1, 4, 0}, 8, TileFormat::kPng, nullptr, "no tile 1/4/0 in the grid"},
      {{31, 0, 0}, 8, TileFormat::kPng, nullptr, "no tile 31/0/0 in the grid"},
      {{0, 0, 0}, 0, TileFormat::kPng, nullptr, "the tile size must be from 1 to 4096, got 0"},
      {{0, 0, 0},
       4097,
       TileFormat::kPng,
       nullptr,
       "the tile size must be from 1 to 4096, got 4097"},
      {{0, 0, 0}, 8, TileFormat::kPng, &noStops, "the gradient has no stops"},
      {{0, 0, 0},
       8,
       TileFormat::kHeightmap16,
       &flat,
       "the heightmap range must be finite numbers low < high"},
      {{0, 0, 0},
       8,
       TileFormat::kTerrainRgb,
       &noScale,
       "the height scale must be a finite number above 0"},
  };
  for (const auto& c : cases) {
    std::string bytes, error;
    EXPECT_FALSE(MakeTile(perlin.source, kSphere, c.tile, c.size, c.format,
                          c.style != nullptr ? *c.style : DefaultStyle(), 1, &bytes, &error));
    EXPECT_EQ(error, c.error);
  }
  // A graph that cannot be evaluated says why.
  objects::Node* add = objects::CreateNode(objects::Kind::kAdd);
  maps::NodeSource<objects::Node> broken(*add);
  std::string bytes, error;
  EXPECT_FALSE(
      MakeTile(broken, kSphere, {0, 0, 0}, 8, TileFormat::kPng, DefaultStyle(), 1, &bytes, &error));
  EXPECT_EQ(error, "Add needs source 1");
  objects::DestroyNode(add);
}

}  // namespace
}  // namespace noisebind::tiles
