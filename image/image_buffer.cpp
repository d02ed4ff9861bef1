#include "image/image_buffer.h"

namespace vessa {

bool ImageSizeAllowed(std::uint32_t width, std::uint32_t height) {
  return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
         std::uint64_t{width} * height <= kMaxImagePixels;
}

}  // namespace vessa
