// The pixels of a script image: 8-bit RGB, rows from top to bottom.
#ifndef NOISEBIND_IMAGE_IMAGE_BUFFER_H
#define NOISEBIND_IMAGE_IMAGE_BUFFER_H

#include <cstddef>
#include <cstdint>

namespace noisebind::image {

// Readers commonly refuse PNGs wider or taller than a million pixels.
constexpr std::uint32_t kMaxImageSide = 1000000;
// 768 MiB of pixels: beyond this a preview is surely a mistake.
constexpr std::uint64_t kMaxImagePixels = std::uint64_t{1} << 28;

constexpr std::size_t kBytesPerPixel = 3;

// Describes pixels it does not own (in a script image, they follow it in the
// same Lua userdata), so it has no destructor.
struct ImageBuffer {
  std::uint32_t width;
  std::uint32_t height;
  unsigned char* pixels;  // width * height * 3 bytes
};

// True when width x height is within the limits above (both at least 1).
bool ImageSizeAllowed(std::uint32_t width, std::uint32_t height);

// The bytes of pixels of an allowed size.
inline std::size_t ImagePixelBytes(std::uint32_t width, std::uint32_t height) {
  return std::size_t{width} * height * kBytesPerPixel;
}

inline unsigned char* PixelAt(const ImageBuffer& image, std::uint32_t x, std::uint32_t y) {
  return image.pixels + (std::size_t{y} * image.width + x) * kBytesPerPixel;
}

// The pixels as 8-bit RGBA, alpha 255, rows from the top: width * height
// * 4 bytes into `out`.
void PixelsAsRgba(const ImageBuffer& image, unsigned char* out);

// The component for a number on the 0 to 255 scale: rounded to the nearest
// integer, halves upwards, and clamped to the scale. `value` must not be NaN.
inline unsigned char ComponentFromNumber(double value) {
  if (!(value > 0.0)) return 0;
  if (value >= 255.0) return 255;
  // Truncation is defined here, and value - whole is exact, unlike the
  // rounding of value + 0.5 just below a half.
  const auto whole = static_cast<unsigned char>(value);
  return value - whole >= 0.5 ? static_cast<unsigned char>(whole + 1) : whole;
}

}  // namespace noisebind::image

#endif  // NOISEBIND_IMAGE_IMAGE_BUFFER_H
