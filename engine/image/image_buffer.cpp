#include "engine/image/image_buffer.h"

namespace noisebind::image {

bool ImageSizeAllowed(std::uint32_t width, std::uint32_t height) {
  return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
         std::uint64_t{width} * height <= kMaxImagePixels;
}

void PixelsAsRgba(const ImageBuffer& image, unsigned char* out) {
  const std::size_t count = std::size_t{image.width} * image.height;
  const unsigned char* in = image.pixels;
  for (std::size_t i = 0; i < count; ++i, in += kBytesPerPixel, out += 4) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
    out[3] = 255;
  }
}

}  // namespace noisebind::image
