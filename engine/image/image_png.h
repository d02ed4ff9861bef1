// PNG encoding of script images through libpng.
#ifndef NOISEBIND_IMAGE_IMAGE_PNG_H
#define NOISEBIND_IMAGE_IMAGE_PNG_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "engine/image/image_buffer.h"

namespace noisebind::image {

// Writes the image to `file` as an 8-bit RGB PNG. False on failure, with the
// reason in `reason` (always terminated).
bool EncodePng(const ImageBuffer& image, std::FILE* file, char* reason, std::size_t reasonSize);

// Writes `width` x `height` pixels of libpng's simplified `format` (e.g.
// PNG_FORMAT_RGB, PNG_FORMAT_LINEAR_Y for 16-bit grey), rows `stride`
// components apart, to `file`; as EncodePng otherwise.
bool WritePng(std::FILE* file, std::uint32_t width, std::uint32_t height, std::uint32_t format,
              const void* pixels, std::int32_t stride, char* reason, std::size_t reasonSize);

}  // namespace noisebind::image

#endif  // NOISEBIND_IMAGE_IMAGE_PNG_H
