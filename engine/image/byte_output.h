// Where encoded pictures and heightmaps go: a file, written whole or not at
// all, or a block of memory for a script's string. Both run the same
// writer, so a file and the bytes in memory are the same.
#ifndef NOISEBIND_IMAGE_BYTE_OUTPUT_H
#define NOISEBIND_IMAGE_BYTE_OUTPUT_H

#include <cstddef>

#include "engine/image/atomic_file.h"

namespace noisebind::image {

// A file at `path` when it is not null; else memory, its address (from
// std::malloc, for the caller to free) in `*bytes` and its size in `*size`.
struct ByteOutput {
  const char* path;
  char** bytes;
  std::size_t* size;
};

// Runs `write` into the output. False on failure, with the reason in
// `reason` (always terminated): the file is then untouched, and there is no
// memory to free.
bool WriteOutput(const ByteOutput& output, FileWriter write, const void* data, char* reason,
                 std::size_t reasonSize);

}  // namespace noisebind::image

#endif  // NOISEBIND_IMAGE_BYTE_OUTPUT_H
