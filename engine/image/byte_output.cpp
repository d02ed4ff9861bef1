#include "engine/image/byte_output.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace noisebind::image {
namespace {

// What `write` would put in a file, in a stream that grows in memory.
bool WriteToMemory(FileWriter write, const void* data, char** bytes, std::size_t* size,
                   char* reason, std::size_t reasonSize) {
  *bytes = nullptr;
  *size = 0;
  std::FILE* stream = open_memstream(bytes, size);
  if (stream == nullptr) {
    std::snprintf(reason, reasonSize, "%s", std::strerror(errno));
    return false;
  }
  bool written = write(stream, data, reason, reasonSize);
  if (std::fclose(stream) != 0 && written) {
    std::snprintf(reason, reasonSize, "%s", std::strerror(errno));
    written = false;
  }
  if (!written) {
    std::free(*bytes);
    *bytes = nullptr;
    *size = 0;
  }
  return written;
}

}  // namespace

bool WriteOutput(const ByteOutput& output, FileWriter write, const void* data, char* reason,
                 std::size_t reasonSize) {
  if (output.path != nullptr)
    return WriteFileAtomically(output.path, write, data, reason, reasonSize);
  return WriteToMemory(write, data, output.bytes, output.size, reason, reasonSize);
}

}  // namespace noisebind::image
