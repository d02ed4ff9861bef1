#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

#include "grey16_reader.h"
#include "render/heightmap_files.h"
#include "scratch_directory.h"

namespace noisebind::render {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(GreyLevel, ScalesRoundsAndClamps) {
  struct Case {
    double value, low, high;
    std::uint16_t level;
  };
  const Case cases[] = {
      {-1.0, -1.0, 1.0, 0},    {1.0, -1.0, 1.0, 65535},
      {0.0, -1.0, 1.0, 32768}, {-5.0, -1.0, 1.0, 0},
      {7.0, -1.0, 1.0, 65535}, {kNaN, -1.0, 1.0, 0},
      {0.5, 0.0, 65535.0, 1},  {0.49, 0.0, 65535.0, 0},
      {3.0, 3.0, 3.0, 0},      {std::numeric_limits<double>::infinity(), 0.0, 1.0, 65535},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GreyLevel(c.value, c.low, c.high), c.level)
        << c.value << " in " << c.low << ", " << c.high;
  }
}

TEST(HeightmapFiles, SixteenBitGreyPngRoundTrip) {
  vessa_test::ScratchDirectory scratch;
  const std::vector<double> values = {-1.0, -0.5, 0.0, 0.25, 0.5, 1.0};
  const maps::MapView map{3, 2, values.data()};
  char reason[256];
  const std::string path = scratch.File("h.png");
  ASSERT_TRUE(SaveGreyPng16(map, -1.0, 1.0, path.c_str(), reason, sizeof reason)) << reason;
  noisebind_test::Grey16 grey;
  std::string error;
  ASSERT_TRUE(noisebind_test::ReadGrey16(path, &grey, &error)) << error;
  EXPECT_EQ(grey.bitDepth, 16);
  EXPECT_EQ(grey.colourType, 0);  // grey, no alpha
  ASSERT_EQ(grey.width, 3u);
  ASSERT_EQ(grey.height, 2u);
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(grey.levels[i], GreyLevel(values[i], -1.0, 1.0)) << i;
  }
  EXPECT_EQ(scratch.Names(), std::vector<std::string>{"h.png"});
}

TEST(HeightmapFiles, RawFloat32IsLittleEndianRowAfterRow) {
  vessa_test::ScratchDirectory scratch;
  const std::vector<double> values = {1.0, -2.5, 0.1, 1e300};
  const maps::MapView map{2, 2, values.data()};
  char reason[256];
  const std::string path = scratch.File("h.raw");
  ASSERT_TRUE(SaveFloat32(map, path.c_str(), reason, sizeof reason)) << reason;
  const std::string bytes = Contents(path);
  ASSERT_EQ(bytes.size(), 16u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x00\x00\x80\x3f", 4));  // 1.0
  EXPECT_EQ(bytes.substr(4, 4), std::string("\x00\x00\x20\xc0", 4));  // -2.5
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::uint32_t bits = 0;
    for (int b = 3; b >= 0; --b) bits = bits << 8 | static_cast<unsigned char>(bytes[i * 4 + b]);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    EXPECT_EQ(value, static_cast<float>(values[i])) << i;
  }
  // A volume: every layer's rows in turn, so 2 x 1 x 2 writes as 2 x 2.
  const maps::MapView volume{2, 1, values.data(), 2};
  ASSERT_TRUE(SaveFloat32(volume, path.c_str(), reason, sizeof reason)) << reason;
  EXPECT_EQ(Contents(path), bytes);
}

// A failed write leaves the old file whole and nothing beside it.
TEST(HeightmapFiles, FailuresLeaveTheOldFile) {
  vessa_test::ScratchDirectory scratch;
  const std::vector<double> values(4, 0.5);
  const maps::MapView map{2, 2, values.data()};
  char reason[256];
  const std::string missing = scratch.File("no/such/dir/h.png");
  EXPECT_FALSE(SaveGreyPng16(map, 0, 1, missing.c_str(), reason, sizeof reason));
  EXPECT_STREQ(reason, "No such file or directory");
  EXPECT_FALSE(SaveFloat32(map, missing.c_str(), reason, sizeof reason));

  const std::string old = scratch.File("old.raw");
  ASSERT_TRUE(SaveFloat32(map, old.c_str(), reason, sizeof reason));
  const std::string before = Contents(old);
  // Writing to a directory fails only at the rename: the old contents of
  // another file are not reached, and the temporary file is gone.
  mkdir(scratch.File("dir").c_str(), 0755);
  EXPECT_FALSE(SaveFloat32(map, scratch.File("dir").c_str(), reason, sizeof reason));
  EXPECT_EQ(Contents(old), before);
  EXPECT_EQ(scratch.Names(), (std::vector<std::string>{"dir", "old.raw"}));
}

}  // namespace
}  // namespace noisebind::render
