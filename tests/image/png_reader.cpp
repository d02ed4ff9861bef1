#include "png_reader.h"

#include <png.h>

#include <cstring>

namespace vessa_test {

bool ReadPng(const std::string& path, RgbPicture* picture, std::string* error) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
    *error = png.message;
    return false;
  }
  png.format = PNG_FORMAT_RGB;
  picture->width = png.width;
  picture->height = png.height;
  picture->pixels.assign(PNG_IMAGE_SIZE(png), 0);
  if (png_image_finish_read(&png, nullptr, picture->pixels.data(), 0, nullptr) == 0) {
    *error = png.message;
    return false;
  }
  return true;
}

}  // namespace vessa_test
