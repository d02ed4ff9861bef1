#include "grey16_reader.h"

#include <png.h>

#include <cstdio>
#include <cstring>

namespace noisebind_test {

bool ReadGrey16(const std::string& path, Grey16* picture, std::string* error) {
  // The file's own header first: the simplified reader converts whatever
  // it finds, so it cannot tell a 16-bit file from an 8-bit one.
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *error = "cannot open";
    return false;
  }
  unsigned char header[26] = {};
  const bool whole = std::fread(header, 1, sizeof header, file) == sizeof header;
  std::fclose(file);
  if (!whole) {
    *error = "too short";
    return false;
  }
  picture->bitDepth = header[24];
  picture->colourType = header[25];

  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
    *error = png.message;
    return false;
  }
  png.format = PNG_FORMAT_LINEAR_Y;
  picture->width = png.width;
  picture->height = png.height;
  picture->levels.resize(std::size_t{png.width} * png.height);
  if (png_image_finish_read(&png, nullptr, picture->levels.data(), 0, nullptr) == 0) {
    *error = png.message;
    png_image_free(&png);
    return false;
  }
  return true;
}

}  // namespace noisebind_test
