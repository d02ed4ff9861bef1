// Reading PNG files back for comparison, through libpng.
#ifndef VESSA_TESTS_IMAGE_PNG_READER_H
#define VESSA_TESTS_IMAGE_PNG_READER_H

#include <cstdint>
#include <string>
#include <vector>

namespace vessa_test {

struct RgbPicture {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<unsigned char> pixels;  // RGB, rows from top to bottom
};

// False, with libpng's message in `error`, when the file is no valid PNG.
bool ReadPng(const std::string& path, RgbPicture* picture, std::string* error);

}  // namespace vessa_test

#endif  // VESSA_TESTS_IMAGE_PNG_READER_H
