#include "engine/image/image_png.h"

#include <png.h>

#include <cerrno>
#include <cstring>

namespace noisebind::image {

// libpng's simplified interface keeps its setjmp and longjmp to itself: no
// frame of ours lies between them, so no C++ object can be skipped.
bool WritePng(std::FILE* file, std::uint32_t width, std::uint32_t height, std::uint32_t format,
              const void* pixels, std::int32_t stride, char* reason, std::size_t reasonSize) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = width;
  png.height = height;
  png.format = format;
  errno = 0;
  if (png_image_write_to_stdio(&png, file, 0, pixels, stride, nullptr) != 0 &&
      std::fflush(file) == 0) {
    return true;
  }
  // A failed write says "Write Error"; the system's reason says more.
  const char* why = std::ferror(file) && errno != 0 ? std::strerror(errno) : png.message;
  std::snprintf(reason, reasonSize, "%s", why);
  png_image_free(&png);
  return false;
}

bool EncodePng(const ImageBuffer& image, std::FILE* file, char* reason, std::size_t reasonSize) {
  const auto stride = static_cast<std::int32_t>(image.width * kBytesPerPixel);
  return WritePng(file, image.width, image.height, PNG_FORMAT_RGB, image.pixels, stride, reason,
                  reasonSize);
}

}  // namespace noisebind::image
