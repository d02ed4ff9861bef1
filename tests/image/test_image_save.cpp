#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "engine/image/image_buffer.h"
#include "engine/image/image_png.h"
#include "engine/image/image_save.h"
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
      : m_pixels(std::size_t{width} * height * noisebind::image::kBytesPerPixel) {
    for (std::size_t i = 0; i < m_pixels.size(); ++i) {
      m_pixels[i] = static_cast<unsigned char>(i * 7 + i / 251);
    }
    m_image = noisebind::image::ImageBuffer{width, height, m_pixels.data()};
  }
  const noisebind::image::ImageBuffer& image() const { return m_image; }
  const std::vector<unsigned char>& pixels() const { return m_pixels; }

 private:
  std::vector<unsigned char> m_pixels;
  noisebind::image::ImageBuffer m_image;
};

std::string Contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

bool Save(const noisebind::image::ImageBuffer& image, const std::string& path,
          std::string* reason) {
  char buffer[256];
  const bool saved = noisebind::image::SaveImage(image, path.c_str(), buffer, sizeof buffer);
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
  EXPECT_FALSE(noisebind::image::EncodePng(pattern.image(), full, reason, sizeof reason));
  EXPECT_STREQ(reason, "No space left on device");
  std::fclose(full);
}

}  // namespace

// Descriptors of this process written in place, or refused with the reason:
// each case opens its descriptor pair, saves to /proc/self/fd/N of `write`,
// then closes both.
struct InPlaceCase {
  const char* description;
  bool (*open)(int pair[2]);
  const char* reason;  // empty: saved
};

bool OpenSocket(int pair[2]) {
  return socketpair(AF_UNIX, SOCK_STREAM, 0, pair) == 0;
}
bool OpenOwnPipe(int pair[2]) {
  if (pipe(pair) != 0) return false;
  std::swap(pair[0], pair[1]);  // write to the writing end, pair[0]
  return true;
}
bool OpenPipeNobodyReads(int pair[2]) {
  int ends[2];
  if (pipe(ends) != 0) return false;
  close(ends[0]);
  pair[0] = ends[1];
  pair[1] = -1;
  return true;
}
bool OpenDevNull(int pair[2]) {
  pair[0] = open("/dev/null", O_WRONLY | O_CLOEXEC);
  pair[1] = -1;
  return pair[0] >= 0;
}
bool OpenDevZero(int pair[2]) {
  pair[0] = open("/dev/zero", O_WRONLY | O_CLOEXEC);
  pair[1] = -1;
  return pair[0] >= 0;
}

TEST(SaveImage, WritesInPlaceOnlyWhereTheBytesArriveAndNothingWaits) {
  const Pattern pattern(2, 2);
  const InPlaceCase cases[] = {
      {"a socket (a display's connection)", OpenSocket, "a socket, not written"},
      {"a pipe this process reads", OpenOwnPipe,
       "a pipe this process itself reads, where writing could wait forever"},
      {"a pipe nobody reads: no SIGPIPE", OpenPipeNobodyReads, "Broken pipe"},
      {"/dev/null", OpenDevNull, ""},
      {"another character device", OpenDevZero,
       "a character device other than a terminal or /dev/null, not written"},
  };
  for (const InPlaceCase& test : cases) {
    int pair[2] = {-1, -1};
    ASSERT_TRUE(test.open(pair)) << test.description;
    std::string reason;
    const bool saved = Save(pattern.image(), "/proc/self/fd/" + std::to_string(pair[0]), &reason);
    EXPECT_EQ(saved, *test.reason == '\0') << test.description;
    if (!saved) {
      EXPECT_EQ(reason, test.reason) << test.description;
    }
    for (const int descriptor : pair) {
      if (descriptor >= 0) close(descriptor);
    }
  }
}

// What a user who may not write a file sees: run in a child as `nobody`
// when the tests run as root, who may write anything.
TEST(SaveImage, RefusesAFileItsUserMayNotWrite) {
  ScratchDirectory directory;
  const std::string path = directory.File("protected.png");
  std::ofstream(path) << "old";
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  ASSERT_EQ(chmod(directory.path().c_str(), 0777), 0);
  const Pattern pattern(2, 2);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    std::string reason;
    const bool saved = Save(pattern.image(), path, &reason);
    _exit(!saved && reason == "the file is write-protected (Permission denied)" ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(Contents(path), "old");
}
