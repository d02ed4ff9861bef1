#include "engine/image/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/image/kernel_path.h"

namespace noisebind::image {
namespace {

constexpr int kNameAttempts = 100;
// As many links as the system follows in one path before it gives up.
constexpr int kMaxLinks = 40;

std::atomic<unsigned> nameCounter{0};

void SystemReason(int error, char* reason, std::size_t reasonSize) {
  std::snprintf(reason, reasonSize, "%s", std::strerror(error));
}

// Copies `text` into `out`; false with ENAMETOOLONG when it does not fit.
bool CopyPath(char* out, std::size_t outSize, const char* folder, int folderLength,
              const char* text) {
  const int length = std::snprintf(out, outSize, "%.*s%s", folderLength, folder, text);
  if (length >= 0 && static_cast<std::size_t>(length) < outSize) return true;
  errno = ENAMETOOLONG;
  return false;
}

// The length of the folder part of `path`, its last slash included.
int FolderLength(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash == nullptr ? 0 : static_cast<int>(slash - path + 1);
}

// The file `path` finally names: symbolic links in its last part are
// followed, a dangling one to the file it would make; `kernel` says whether
// the way there reached /proc or /sys first (where it stops). False, with
// errno set, for a loop of links or a name too long.
bool FinalTarget(const char* path, char* target, std::size_t targetSize, KernelPath* kernel) {
  if (!CopyPath(target, targetSize, "", 0, path)) return false;
  for (int hops = 0;; ++hops) {
    *kernel = ClassifyKernelPath(target);
    if (kernel->kind != KernelPathKind::kNone) return true;
    char link[PATH_MAX];
    const ssize_t length = readlink(target, link, sizeof link - 1);
    // Not a link, or not there: the path itself is the target, and any
    // other fault shows when it is used.
    if (length < 0) return true;
    if (hops == kMaxLinks) {
      errno = ELOOP;
      return false;
    }
    link[length] = '\0';
    char next[PATH_MAX];
    const int folder = link[0] == '/' ? 0 : FolderLength(target);
    if (!CopyPath(next, sizeof next, target, folder, link)) return false;
    std::memcpy(target, next, sizeof next);
  }
}

// Refuses anything at `target` but a regular file; `existing` gets its
// status, when there is one.
bool CheckTarget(const char* target, struct stat* existing, bool* exists, char* reason,
                 std::size_t reasonSize) {
  *exists = false;
  const std::size_t length = std::strlen(target);
  // A final slash names a folder, whether or not one is there.
  if (length > 0 && target[length - 1] == '/') {
    SystemReason(EISDIR, reason, reasonSize);
    return false;
  }
  if (lstat(target, existing) != 0) {
    if (errno == ENOENT) return true;
    SystemReason(errno, reason, reasonSize);
    return false;
  }
  const mode_t type = existing->st_mode & S_IFMT;
  if (type == S_IFREG) {
    // The rename needs only the folder's permission: a file its user may
    // not write is refused, as opening it for writing would be.
    if (faccessat(AT_FDCWD, target, W_OK, AT_EACCESS) != 0) {
      std::snprintf(reason, reasonSize, "the file is write-protected (%s)", std::strerror(errno));
      return false;
    }
    *exists = true;
    return true;
  }
  if (type == S_IFDIR) {
    SystemReason(EISDIR, reason, reasonSize);
    return false;
  }
  const char* kind = type == S_IFIFO    ? "a FIFO"
                     : type == S_IFCHR  ? "a character device"
                     : type == S_IFBLK  ? "a block device"
                     : type == S_IFSOCK ? "a socket"
                                        : "of an unknown kind";
  std::snprintf(reason, reasonSize, "not a regular file but %s", kind);
  return false;
}

// Creates a file of our own in the folder of `target`, named in `name`: a
// short name, so that it fits wherever the target's name fits, or `fixed`
// when given (then a file already there is an error). Its mode follows the
// umask as any new file's would. -1 on failure, with errno set.
int CreateTemporary(const char* target, const char* fixed, char* name, std::size_t nameSize) {
  if (fixed != nullptr) {
    if (!CopyPath(name, nameSize, target, FolderLength(target), fixed)) return -1;
    return open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  }
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    char file[32];
    std::snprintf(file, sizeof file, ".%ld-%u.tmp", static_cast<long>(getpid()),
                  nameCounter++ % 100000u);
    if (!CopyPath(name, nameSize, target, FolderLength(target), file)) return -1;
    const int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The owner and permission bits of the file replaced. Only root may give a
// file away: where the owner cannot be kept, neither are the set-user and
// set-group bits, which would then grant our rights.
void KeepOwnerAndMode(int fd, const struct stat& existing) {
  const bool owned = fchown(fd, existing.st_uid, existing.st_gid) == 0;
  fchmod(fd, existing.st_mode & (owned ? 07777 : 0777));
}

// Writes, then flushes to the disk, so that the rename never shows an
// empty or partial file after a crash.
bool WriteWhole(std::FILE* file, FileWriter write, const void* data, char* reason,
                std::size_t reasonSize) {
  if (!write(file, data, reason, reasonSize)) return false;
  if (std::fflush(file) != 0 || fsync(fileno(file)) != 0) {
    SystemReason(errno, reason, reasonSize);
    return false;
  }
  return true;
}

// True when one of this process's descriptors reads the pipe `pipe`: a
// write to it would wait for us to read, forever once the pipe is full.
bool ReadingEndIsOurs(const struct stat& pipe) {
  DIR* folder = opendir("/proc/self/fd");
  // Without /proc nothing tells: the pipe is taken for another process's.
  if (folder == nullptr) return false;
  bool ours = false;
  while (const dirent* entry = readdir(folder)) {
    char* end = nullptr;
    const long number = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || number < 0 || number > INT_MAX ||
        number == dirfd(folder)) {
      continue;
    }
    const int descriptor = static_cast<int>(number);
    struct stat status;
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags >= 0 && (flags & O_ACCMODE) != O_WRONLY && fstat(descriptor, &status) == 0 &&
        status.st_dev == pipe.st_dev && status.st_ino == pipe.st_ino) {
      ours = true;
      break;
    }
  }
  closedir(folder);
  return ours;
}

// Null when a descriptor of this kind may be written in place: a regular
// file, a pipe whose reading end another process holds, a terminal or
// /dev/null; otherwise why not. Anything else may take the bytes for
// something else (a socket of the display's connection) or never take them.
const char* InPlaceRefusal(int descriptor, const struct stat& status) {
  switch (status.st_mode & S_IFMT) {
    case S_IFREG:
      return nullptr;
    case S_IFIFO:
      return ReadingEndIsOurs(status)
                 ? "a pipe this process itself reads, where writing could wait forever"
                 : nullptr;
    case S_IFCHR: {
      struct stat null;
      if (isatty(descriptor) || (stat("/dev/null", &null) == 0 && S_ISCHR(null.st_mode) &&
                                 null.st_rdev == status.st_rdev)) {
        return nullptr;
      }
      return "a character device other than a terminal or /dev/null, not written";
    }
    case S_IFSOCK:
      return "a socket, not written";
    case S_IFBLK:
      return "a block device, not written";
    default:
      return "an open file of an unknown kind, not written";
  }
}

// Runs `write` and closes `file` with SIGPIPE held back in this thread, so
// that a pipe nobody reads any more fails with EPIPE instead of ending the
// process. A SIGPIPE that was pending before is left pending.
bool WriteWithoutSigpipe(std::FILE* file, FileWriter write, const void* data, char* reason,
                         std::size_t reasonSize) {
  sigset_t pipeSignal;
  sigset_t previous;
  sigset_t pending;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  sigpending(&pending);
  const bool wasPending = sigismember(&pending, SIGPIPE) == 1;
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
  bool written = write(file, data, reason, reasonSize);
  if (std::fclose(file) != 0 && written) {
    SystemReason(errno, reason, reasonSize);
    written = false;
  }
  sigpending(&pending);
  if (!wasPending && sigismember(&pending, SIGPIPE) == 1) {
    const timespec now{0, 0};
    while (sigtimedwait(&pipeSignal, nullptr, &now) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return written;
}

// Writes through one of our open descriptors, at its offset, as a write
// to standard output would: what the standard streams hold for it goes
// first. Not atomic, and not synced (a pipe or terminal cannot be).
bool WriteInPlace(int descriptor, FileWriter write, const void* data, char* reason,
                  std::size_t reasonSize) {
  struct stat status;
  if (fstat(descriptor, &status) != 0) {
    SystemReason(errno, reason, reasonSize);
    return false;
  }
  if (S_ISDIR(status.st_mode)) {
    SystemReason(EISDIR, reason, reasonSize);
    return false;
  }
  const int flags = fcntl(descriptor, F_GETFL);
  if (flags >= 0 && (flags & O_ACCMODE) == O_RDONLY) {
    std::snprintf(reason, reasonSize, "descriptor %d is open for reading only", descriptor);
    return false;
  }
  if (const char* refused = InPlaceRefusal(descriptor, status)) {
    std::snprintf(reason, reasonSize, "%s", refused);
    return false;
  }
  if (descriptor == fileno(stdout)) std::fflush(stdout);
  if (descriptor == fileno(stderr)) std::fflush(stderr);
  const int copy = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
  std::FILE* file = copy < 0 ? nullptr : fdopen(copy, "wb");
  if (file == nullptr) {
    SystemReason(errno, reason, reasonSize);
    if (copy >= 0) close(copy);
    return false;
  }
  return WriteWithoutSigpipe(file, write, data, reason, reasonSize);
}

// Paths into the kernel's file systems: our own open files are written in
// place, anything else there is refused with the reason.
bool WriteKernelPath(const KernelPath& kernel, FileWriter write, const void* data, char* reason,
                     std::size_t reasonSize) {
  switch (kernel.kind) {
    case KernelPathKind::kDescriptor:
      return WriteInPlace(kernel.descriptor, write, data, reason, reasonSize);
    case KernelPathKind::kOtherProcess:
      std::snprintf(reason, reasonSize, "a link into an open file of process %ld, not written",
                    kernel.process);
      return false;
    default:
      std::snprintf(reason, reasonSize, "a file of the kernel's %s, not written", kernel.system);
      return false;
  }
}

}  // namespace

bool WriteFileAtomically(const char* path, FileWriter write, const void* data, char* reason,
                         std::size_t reasonSize) {
  return WriteFileAtomicallyVia(path, nullptr, write, data, reason, reasonSize);
}

bool WriteFileAtomicallyVia(const char* path, const char* temporaryName, FileWriter write,
                            const void* data, char* reason, std::size_t reasonSize) {
  if (temporaryName != nullptr &&
      (temporaryName[0] == '\0' || std::strchr(temporaryName, '/') != nullptr)) {
    std::snprintf(reason, reasonSize, "the temporary name must be a file name");
    return false;
  }
  char target[PATH_MAX];
  KernelPath kernel;
  if (!FinalTarget(path, target, sizeof target, &kernel)) {
    SystemReason(errno, reason, reasonSize);
    return false;
  }
  if (kernel.kind != KernelPathKind::kNone) {
    return WriteKernelPath(kernel, write, data, reason, reasonSize);
  }
  struct stat existing;
  bool exists = false;
  if (!CheckTarget(target, &existing, &exists, reason, reasonSize)) return false;
  char temporary[PATH_MAX];
  const int fd = CreateTemporary(target, temporaryName, temporary, sizeof temporary);
  if (fd < 0) {
    SystemReason(errno, reason, reasonSize);
    return false;
  }
  if (exists) KeepOwnerAndMode(fd, existing);
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    SystemReason(errno, reason, reasonSize);
    close(fd);
    unlink(temporary);
    return false;
  }
  bool written = WriteWhole(file, write, data, reason, reasonSize);
  if (std::fclose(file) != 0 && written) {
    SystemReason(errno, reason, reasonSize);
    written = false;
  }
  if (written && std::rename(temporary, target) != 0) {
    SystemReason(errno, reason, reasonSize);
    written = false;
  }
  if (!written) unlink(temporary);
  return written;
}

}  // namespace noisebind::image
