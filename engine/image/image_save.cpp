#include "engine/image/image_save.h"

#include "engine/image/byte_output.h"
#include "engine/image/image_png.h"

namespace noisebind::image {
namespace {

bool WriteImagePng(std::FILE* file, const void* image, char* reason,
                   std::size_t reasonSize) noexcept {
  return EncodePng(*static_cast<const ImageBuffer*>(image), file, reason, reasonSize);
}

}  // namespace

bool SaveImage(const ImageBuffer& image, const char* path, char* reason, std::size_t reasonSize) {
  return WriteOutput(ByteOutput{path, nullptr, nullptr}, WriteImagePng, &image, reason, reasonSize);
}

bool EncodeImage(const ImageBuffer& image, char** bytes, std::size_t* size, char* reason,
                 std::size_t reasonSize) {
  return WriteOutput(ByteOutput{nullptr, bytes, size}, WriteImagePng, &image, reason, reasonSize);
}

}  // namespace noisebind::image
