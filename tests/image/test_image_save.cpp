#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/image_buffer.h"
#include "image/image_png.h"
#include "image/image_save.h"
#include "png_reader.h"
#include "scratch_directory.h"

namespace {

using vessa_test::ReadPng;
using vessa_test::RgbPicture;
using vessa_test::ScratchDirectory;

// Owns the pixels of an ImageBuffer for a test; every byte differs from its
// neighbours so that a swapped channel or a wrong stride shows.
class Pattern {
 public:
  Pattern(std::uint32_t width, std::uint32_t height)
      : m_pixels(std::size_t{width} * height * vessa::kBytesPerPixel) {
    for (std::size_t i = 0; i < m_pixels.size(); ++i) {
      m_pixels[i] = static_cast<unsigned char>(i * 7 + i / 251);
    }
    m_image = vessa::ImageBuffer{width, height, m_pixels.data()};
  }
  const vessa::ImageBuffer& image() const { return m_image; }
  const std::vector<unsigned char>& pixels() const { return m_pixels; }

 private:
  std::vector<unsigned char> m_pixels;
  vessa::ImageBuffer m_image;
};

std::string Contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

bool Save(const vessa::ImageBuffer& image, const std::string& path, std::string* reason) {
  char buffer[256];
  const bool saved = vessa::SaveImage(image, path.c_str(), buffer, sizeof buffer);
  *reason = buffer;
  return saved;
}

TEST(SaveImage, WritesEveryPixelAsLibpngReadsIt) {
  ScratchDirectory directory;
  // Odd sizes: rows whose length is no multiple of 4 or 8.
  for (const auto& [width, height] : {std::pair{1u, 1u}, {37u, 5u}, {3u, 129u}}) {
    const Pattern pattern(width, height);
    const std::string path = directory.File("pattern.png");
    std::string reason;
    ASSERT_TRUE(Save(pattern.image(), path, &reason)) << reason;
    RgbPicture picture;
    std::string error;
    ASSERT_TRUE(ReadPng(path, &picture, &error)) << error;
    EXPECT_EQ(picture.width, width);
    EXPECT_EQ(picture.height, height);
    EXPECT_EQ(picture.pixels, pattern.pixels());
  }
  EXPECT_EQ(directory.Names(), std::vector<std::string>{"pattern.png"});
}

TEST(SaveImage, ReplacesAnExistingFileWhole) {
  ScratchDirectory directory;
  const std::string path = directory.File("out.png");
  std::ofstream(path) << "an older file, much longer than nothing at all";
  const Pattern pattern(2, 2);
  std::string reason;
  ASSERT_TRUE(Save(pattern.image(), path, &reason)) << reason;
  RgbPicture picture;
  std::string error;
  ASSERT_TRUE(ReadPng(path, &picture, &error)) << error;
  EXPECT_EQ(picture.pixels, pattern.pixels());
  EXPECT_EQ(directory.Names(), std::vector<std::string>{"out.png"});
}

TEST(SaveImage, FailsWithTheSystemsReasonAndLeavesNothingBehind) {
  ScratchDirectory directory;
  const Pattern pattern(4, 4);
  std::string reason;

  EXPECT_FALSE(Save(pattern.image(), directory.File("missing/out.png"), &reason));
  EXPECT_EQ(reason, "No such file or directory");

  // The temporary file is made, then cannot take the directory's place.
  const std::string occupied = directory.File("occupied");
  std::filesystem::create_directory(occupied);
  EXPECT_FALSE(Save(pattern.image(), occupied, &reason));
  EXPECT_EQ(reason, "Is a directory");
  EXPECT_EQ(directory.Names(), std::vector<std::string>{"occupied"});

  const std::string kept = directory.File("kept.png");
  std::ofstream(kept) << "old";
  EXPECT_FALSE(Save(pattern.image(), kept + "/below.png", &reason));
  EXPECT_EQ(reason, "Not a directory");
  EXPECT_EQ(Contents(kept), "old");
}

TEST(EncodePng, PrefersTheSystemsReasonToLibpngsWhenAWriteFails) {
  std::FILE* full = std::fopen("/dev/full", "wb");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full";
  const Pattern pattern(64, 64);
  char reason[256];
  EXPECT_FALSE(vessa::EncodePng(pattern.image(), full, reason, sizeof reason));
  EXPECT_STREQ(reason, "No space left on device");
  std::fclose(full);
}

}  // namespace
