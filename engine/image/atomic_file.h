// Files written whole or not at all: what every save of the script
// libraries goes through (pictures, heightmaps).
#ifndef NOISEBIND_IMAGE_ATOMIC_FILE_H
#define NOISEBIND_IMAGE_ATOMIC_FILE_H

#include <cstddef>
#include <cstdio>

namespace noisebind::image {

// Writes the contents of a file to the stream it is given; false on
// failure, with the reason in `reason` (always terminated). It may not
// throw: the temporary file would be left behind.
using FileWriter = bool (*)(std::FILE* file, const void* data, char* reason,
                            std::size_t reasonSize) noexcept;

// Calls `write` on a new file beside `path`, then renames it to `path`,
// replacing what was there: readers see the old file or the whole new one.
// False on failure, with the system's reason in `reason` (always
// terminated); the temporary file is then removed and `path` is untouched.
// A path that leads to one of this process's open files (/dev/stdout,
// /dev/fd/N, /proc/self/fd/N) is written in place through that descriptor
// instead; any other path into /proc or /sys is refused.
bool WriteFileAtomically(const char* path, FileWriter write, const void* data, char* reason,
                         std::size_t reasonSize);

// The same through a temporary called `temporaryName` (a file name, no
// folder) beside `path`, so that whoever writes `path` knows what a killed
// writer may have left: the call fails with EEXIST while a file of that
// name is there, and the caller decides whether it is stale.
bool WriteFileAtomicallyVia(const char* path, const char* temporaryName, FileWriter write,
                            const void* data, char* reason, std::size_t reasonSize);

}  // namespace noisebind::image

#endif  // NOISEBIND_IMAGE_ATOMIC_FILE_H
