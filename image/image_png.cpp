#include "image/image_png.h"

#include <png.h>

#include <cerrno>
#include <cstring>

namespace vessa {

// libpng's simplified interface keeps its setjmp and longjmp to itself: no
// frame of ours lies between them, so no C++ object can be skipped.
bool EncodePng(const ImageBuffer& image, std::FILE* file, char* reason, std::size_t reasonSize) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = image.width;
  png.height = image.height;
  png.format = PNG_FORMAT_RGB;
  errno = 0;
  const auto stride = static_cast<png_int_32>(image.width * kBytesPerPixel);
  if (png_image_write_to_stdio(&png, file, 0, image.pixels, stride, nullptr) != 0 &&
      std::fflush(file) == 0) {
    return true;
  }
  // A failed write says "Write Error"; the system's reason says more.
  const char* why = std::ferror(file) && errno != 0 ? std::strerror(errno) : png.message;
  std::snprintf(reason, reasonSize, "%s", why);
  png_image_free(&png);
  return false;
}

}  // namespace vessa
