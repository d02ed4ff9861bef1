// Script images as PNG files, whole or not at all, and as PNG bytes.
#ifndef NOISEBIND_IMAGE_IMAGE_SAVE_H
#define NOISEBIND_IMAGE_IMAGE_SAVE_H

#include <cstddef>

#include "engine/image/image_buffer.h"

namespace noisebind::image {

// Writes the image to a new file beside `path`, then renames it to `path`,
// replacing what was there: readers see the old file or the whole new one.
// False on failure, with the system's reason in `reason` (always
// terminated); the temporary file is then removed and `path` is untouched.
bool SaveImage(const ImageBuffer& image, const char* path, char* reason, std::size_t reasonSize);

// The bytes that file would hold, in memory from std::malloc (for the
// caller to free); false on failure, with the reason, and nothing to free.
bool EncodeImage(const ImageBuffer& image, char** bytes, std::size_t* size, char* reason,
                 std::size_t reasonSize);

}  // namespace noisebind::image

#endif  // NOISEBIND_IMAGE_IMAGE_SAVE_H
