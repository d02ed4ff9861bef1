#include "image/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>


namespace vessa {
namespace {

constexpr int kNameAttempts = 100;

std::atomic<unsigned> nameCounter{0};

void SystemReason(int error, char* reason, std::size_t reasonSize) {
  std::snprintf(reason, reasonSize, "%s", std::strerror(error));
}

// Creates a file of our own beside `path`, named in `name`. Its mode follows
// the umask as any new file's would. -1 on failure, with errno set.
int CreateTemporary(const char* path, char* name, std::size_t nameSize) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const int length = std::snprintf(name, nameSize, "%s.%ld-%u.tmp", path,
                                     static_cast<long>(getpid()), nameCounter++);
    if (length < 0 || static_cast<std::size_t>(length) >= nameSize) {
      errno = ENAMETOOLONG;
      return -1;
    }
    const int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool WriteFileAtomically(const char* path, FileWriter write, const void* data, char* reason,
                         std::size_t reasonSize) {
  char temporary[PATH_MAX];
  const int fd = CreateTemporary(path, temporary, sizeof temporary);
  if (fd < 0) {
    SystemReason(errno, reason, reasonSize);
    return false;
  }
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    SystemReason(errno, reason, reasonSize);
    close(fd);
    unlink(temporary);
    return false;
  }
  bool written = write(file, data, reason, reasonSize);
  // Closing flushes too, and a full disk may only tell us now.
  if (std::fclose(file) != 0 && written) {
    SystemReason(errno, reason, reasonSize);
    written = false;
  }
  if (written && std::rename(temporary, path) != 0) {
    SystemReason(errno, reason, reasonSize);
    written = false;
  }
  if (!written) unlink(temporary);
  return written;
}

}  // namespace vessa
