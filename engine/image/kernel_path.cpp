#include "engine/image/kernel_path.h"

#include <limits.h>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace noisebind::image {
namespace {

// The number that the digits [begin, end) spell, or -1 when they are none
// or too many for an int.
long Number(const char* begin, const char* end) {
  if (begin == end || end - begin > 9) return -1;
  long value = 0;
  for (const char* c = begin; c < end; ++c) {
    if (*c < '0' || *c > '9') return -1;
    value = value * 10 + (*c - '0');
  }
  return value;
}

// The start of the last part of [begin, end): just past its slash.
const char* LastPart(const char* begin, const char* end) {
  const char* c = end;
  while (c > begin && c[-1] != '/') --c;
  return c;
}

// The process whose descriptor folder `folder` (resolved, in /proc) is:
// ".../<pid>/fd" or ".../<pid>/task/<tid>/fd"; -1 for any other folder.
long DescriptorFolderProcess(const char* folder) {
  const char* end = folder + std::strlen(folder);
  const char* part = LastPart(folder, end);
  if (std::strcmp(part, "fd") != 0 || part == folder) return -1;
  end = part - 1;
  part = LastPart(folder, end);
  const long id = Number(part, end);
  if (id < 0 || part == folder) return -1;
  end = part - 1;
  part = LastPart(folder, end);
  if (end - part == 4 && std::strncmp(part, "task", 4) == 0 && part != folder) {
    end = part - 1;
    part = LastPart(folder, end);
    return Number(part, end);
  }
  return id;
}

}  // namespace

KernelPath ClassifyKernelPath(const char* path) {
  KernelPath result{KernelPathKind::kNone, -1, -1, nullptr};
  const char* slash = std::strrchr(path, '/');
  char folder[PATH_MAX];
  if (slash == nullptr) {
    std::strcpy(folder, ".");
  } else {
    const std::size_t length = slash == path ? 1 : static_cast<std::size_t>(slash - path);
    if (length >= sizeof folder) return result;
    std::memcpy(folder, path, length);
    folder[length] = '\0';
  }
  struct statfs system;
  if (statfs(folder, &system) != 0) return result;
  if (system.f_type == SYSFS_MAGIC) {
    result.kind = KernelPathKind::kKernelFile;
    result.system = "/sys";
    return result;
  }
  if (system.f_type != PROC_SUPER_MAGIC) return result;
  result.kind = KernelPathKind::kKernelFile;
  result.system = "/proc";
  char resolved[PATH_MAX];
  if (realpath(folder, resolved) == nullptr) return result;
  const long process = DescriptorFolderProcess(resolved);
  const char* name = slash == nullptr ? path : slash + 1;
  const long descriptor = Number(name, name + std::strlen(name));
  if (process < 0 || descriptor < 0) return result;
  result.descriptor = static_cast<int>(descriptor);
  result.process = process;
  result.kind = process == static_cast<long>(getpid()) ? KernelPathKind::kDescriptor
                                                       : KernelPathKind::kOtherProcess;
  return result;
}

}  // namespace noisebind::image
