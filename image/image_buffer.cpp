#include "image/image_buffer.h"

#include <cstdlib>

namespace vessa {

bool ImageSizeAllowed(std::uint32_t width, std::uint32_t height) {
  return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
         std::uint64_t{width} * height <= kMaxImagePixels;
}

unsigned char* AllocateImagePixels(std::uint32_t width, std::uint32_t height) {
  if (!ImageSizeAllowed(width, height)) return nullptr;
  const std::size_t pixels = std::size_t{width} * height;
  return static_cast<unsigned char*>(std::calloc(pixels, kBytesPerPixel));
}

void FreeImagePixels(ImageBuffer* image) {
  std::free(image->pixels);
  image->pixels = nullptr;
}

}  // namespace vessa
