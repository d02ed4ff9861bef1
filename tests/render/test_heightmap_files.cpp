#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

#include "engine/render/heightmap_files.h"
#include "grey16_reader.h"
#include "scratch_directory.h"

namespace noisebind::render {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();
const RawEncoding kF32{RawFormat::kFloat32, 0.0, 0.0};

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

// Levels at the ends of the double range: the range is scaled before its
// ends are subtracted, +inf is the top whatever the range, and -inf and NaN
// the bottom.
TEST(GreyLevel, NoOverflowBetweenFiniteNumbers) {
  EXPECT_EQ(GreyLevel(-1e308, -1e308, 1e308), 0);
  EXPECT_EQ(GreyLevel(0.0, -1e308, 1e308), 32768);
  EXPECT_EQ(GreyLevel(1e308, -1e308, 1e308), 65535);
  EXPECT_EQ(GreyLevel(kMax, -kMax, kMax), 65535);
  EXPECT_EQ(GreyLevel(-kMax, -kMax, kMax), 0);
  EXPECT_EQ(GreyLevel(kMax / 2, -kMax, kMax), 49151);  // 3/4 of 65535, rounded
  EXPECT_EQ(GreyLevel(kMax, -1.0, 1.0), 65535);
  EXPECT_EQ(GreyLevel(-kMax, 0.0, 1e-300), 0);
  EXPECT_EQ(GreyLevel(kInf, 0.0, 1.0), 65535);
  EXPECT_EQ(GreyLevel(kInf, 2.0, 2.0), 65535);
  EXPECT_EQ(GreyLevel(-kInf, 0.0, 1.0), 0);
  // The smallest ranges there are still scale.
  const double tiny = std::numeric_limits<double>::denorm_min();
  EXPECT_EQ(GreyLevel(tiny, 0.0, 2 * tiny), 32768);
  EXPECT_EQ(ScaledLevel(0.0, -1e308, 1e308, 255), 128);
  EXPECT_EQ(ScaledLevel(0.5 / 255, 0.0, 1.0, 255), 1);  // halves round up
}

TEST(RawValues, EveryFormatLittleEndian) {
  const std::vector<double> values = {1.0, -2.5, 1e308, -kInf, kNaN, 0.5};
  const maps::MapView map{3, 2, values.data()};
  unsigned char out[6 * 8];
  EncodeRaw(map, RawEncoding{RawFormat::kFloat64, 0, 0}, 0, 6, out);
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::uint64_t bits = 0;
    for (int b = 7; b >= 0; --b) bits = bits << 8 | out[i * 8 + b];
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    EXPECT_TRUE(value == values[i] || (value != value && values[i] != values[i])) << i;
  }
  EncodeRaw(map, kF32, 0, 6, out);
  float floats[6];
  for (int i = 0; i < 6; ++i) {
    const std::uint32_t bits = out[i * 4] | out[i * 4 + 1] << 8 | out[i * 4 + 2] << 16 |
                               static_cast<std::uint32_t>(out[i * 4 + 3]) << 24;
    std::memcpy(&floats[i], &bits, sizeof bits);
  }
  EXPECT_EQ(floats[0], 1.0f);
  EXPECT_EQ(floats[1], -2.5f);
  EXPECT_EQ(floats[2], std::numeric_limits<float>::infinity());  // beyond the float range
  EXPECT_EQ(floats[3], -std::numeric_limits<float>::infinity());
  EXPECT_TRUE(floats[4] != floats[4]);
  EncodeRaw(map, RawEncoding{RawFormat::kLevel16, -2.5, 1.0}, 0, 6, out);
  const unsigned char levels16[] = {0xff, 0xff, 0, 0, 0xff, 0xff, 0, 0, 0, 0, 0x6d, 0xdb};
  EXPECT_EQ(std::memcmp(out, levels16, sizeof levels16), 0);
  EncodeRaw(map, RawEncoding{RawFormat::kLevel8, -2.5, 1.0}, 2, 4, out);
  const unsigned char levels8[] = {255, 0, 0, 219};
  EXPECT_EQ(std::memcmp(out, levels8, sizeof levels8), 0);
}

// A float just below the rounding point to infinity stays finite; from
// that point on it is infinite, also for the largest doubles.
TEST(RawValues, ToFloatAtTheEndsOfTheFloatRange) {
  const float largest = std::numeric_limits<float>::max();
  EXPECT_EQ(ToFloat(static_cast<double>(largest)), largest);
  EXPECT_EQ(ToFloat(std::nextafter(0x1.ffffffp127, 0.0)), largest);
  EXPECT_EQ(ToFloat(0x1.ffffffp127), std::numeric_limits<float>::infinity());
  EXPECT_EQ(ToFloat(-kMax), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(ToFloat(1e-50), 0.0f);
}

// The string and the file of each format hold the same bytes.
TEST(HeightmapFiles, MemoryAndFileAgree) {
  vessa_test::ScratchDirectory scratch;
  const std::vector<double> values = {-1.0, -0.5, 0.0, 0.25, 0.5, 1.0};
  const maps::MapView map{3, 2, values.data()};
  char reason[256];
  char* bytes = nullptr;
  std::size_t size = 0;
  const std::string png = scratch.File("h.png");
  ASSERT_TRUE(SaveGreyPng16(map, -1.0, 1.0, png.c_str(), reason, sizeof reason)) << reason;
  ASSERT_TRUE(EncodeGreyPng16(map, -1.0, 1.0, &bytes, &size, reason, sizeof reason)) << reason;
  EXPECT_EQ(std::string(bytes, size), Contents(png));
  std::free(bytes);
  for (const RawFormat format :
       {RawFormat::kFloat32, RawFormat::kFloat64, RawFormat::kLevel16, RawFormat::kLevel8}) {
    const RawEncoding encoding{format, -1.0, 1.0};
    const std::string raw = scratch.File("h.raw");
    ASSERT_TRUE(SaveRaw(map, encoding, raw.c_str(), reason, sizeof reason)) << reason;
    ASSERT_TRUE(EncodeRawBytes(map, encoding, &bytes, &size, reason, sizeof reason)) << reason;
    EXPECT_EQ(size, 6 * RawValueBytes(format));
    EXPECT_EQ(std::string(bytes, size), Contents(raw));
    std::free(bytes);
  }
}

// More values than one chunk of the file writer, so that chunks join.
TEST(HeightmapFiles, LongRawFilesInChunks) {
  vessa_test::ScratchDirectory scratch;
  std::vector<double> values(40000);
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<double>(i);
  const maps::MapView map{200, 200, values.data()};
  char reason[256];
  const std::string raw = scratch.File("h.raw");
  const RawEncoding encoding{RawFormat::kFloat64, 0, 0};
  ASSERT_TRUE(SaveRaw(map, encoding, raw.c_str(), reason, sizeof reason)) << reason;
  const std::string bytes = Contents(raw);
  ASSERT_EQ(bytes.size(), 320000u);
  double last = 0.0;
  std::memcpy(&last, bytes.data() + bytes.size() - 8, 8);
  EXPECT_EQ(last, 39999.0);
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
  ASSERT_TRUE(SaveRaw(map, kF32, path.c_str(), reason, sizeof reason)) << reason;
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
  ASSERT_TRUE(SaveRaw(volume, kF32, path.c_str(), reason, sizeof reason)) << reason;
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
  EXPECT_FALSE(SaveRaw(map, kF32, missing.c_str(), reason, sizeof reason));

  const std::string old = scratch.File("old.raw");
  ASSERT_TRUE(SaveRaw(map, kF32, old.c_str(), reason, sizeof reason));
  const std::string before = Contents(old);
  // Writing to a directory fails only at the rename: the old contents of
  // another file are not reached, and the temporary file is gone.
  mkdir(scratch.File("dir").c_str(), 0755);
  EXPECT_FALSE(SaveRaw(map, kF32, scratch.File("dir").c_str(), reason, sizeof reason));
  EXPECT_EQ(Contents(old), before);
  EXPECT_EQ(scratch.Names(), (std::vector<std::string>{"dir", "old.raw"}));
}

}  // namespace
}  // namespace noisebind::render
