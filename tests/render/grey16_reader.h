// Reading 16-bit grey PNG files back, through libpng.
#ifndef NOISEBIND_TESTS_RENDER_GREY16_READER_H
#define NOISEBIND_TESTS_RENDER_GREY16_READER_H

#include <cstdint>
#include <string>
#include <vector>

namespace noisebind_test {

struct Grey16 {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bitDepth = 0;  // as stored in the file
  int colourType = 0;
  std::vector<std::uint16_t> levels;  // rows from the top
};

// False, with libpng's message in `error`, when the file is no valid PNG.
bool ReadGrey16(const std::string& path, Grey16* picture, std::string* error);

}  // namespace noisebind_test

#endif  // NOISEBIND_TESTS_RENDER_GREY16_READER_H
