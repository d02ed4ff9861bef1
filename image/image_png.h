// PNG encoding of script images through libpng.
#ifndef NOISEBIND_IMAGE_IMAGE_PNG_H
#define NOISEBIND_IMAGE_IMAGE_PNG_H

#include <cstddef>
#include <cstdio>

#include "image/image_buffer.h"

namespace vessa {

// Writes the image to `file` as an 8-bit RGB PNG. False on failure, with the
// reason in `reason` (always terminated).
bool EncodePng(const ImageBuffer& image, std::FILE* file, char* reason, std::size_t reasonSize);

}  // namespace vessa

#endif  // NOISEBIND_IMAGE_IMAGE_PNG_H
