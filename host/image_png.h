// PNG encoding of script images through libpng.
#ifndef VESSA_HOST_IMAGE_PNG_H
#define VESSA_HOST_IMAGE_PNG_H

#include <cstddef>
#include <cstdio>

#include "host/image_buffer.h"

namespace vessa {

// Writes the image to `file` as an 8-bit RGB PNG. False on failure, with the
// reason in `reason` (always terminated).
bool EncodePng(const ImageBuffer& image, std::FILE* file, char* reason, std::size_t reasonSize);

}  // namespace vessa

#endif  // VESSA_HOST_IMAGE_PNG_H
