#include "image/image_save.h"

#include "image/atomic_file.h"
#include "image/image_png.h"

namespace vessa {
namespace {

bool WriteImagePng(std::FILE* file, const void* image, char* reason,
                   std::size_t reasonSize) noexcept {
  return EncodePng(*static_cast<const ImageBuffer*>(image), file, reason, reasonSize);
}

}  // namespace

bool SaveImage(const ImageBuffer& image, const char* path, char* reason, std::size_t reasonSize) {
  return WriteFileAtomically(path, WriteImagePng, &image, reason, reasonSize);
}

}  // namespace vessa
