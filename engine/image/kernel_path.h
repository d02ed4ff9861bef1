// Paths into the kernel's own file systems, which saving must not treat as
// files: /dev/stdout, /dev/fd/N and /proc/self/fd/N are links into files a
// process holds open (renaming over them would replace the shell's file,
// or fail for a pipe), and the rest of /proc and /sys is the kernel's view
// of processes and devices.
#ifndef NOISEBIND_IMAGE_KERNEL_PATH_H
#define NOISEBIND_IMAGE_KERNEL_PATH_H

namespace noisebind::image {

enum class KernelPathKind {
  kNone,          // a folder of any other file system, or none
  kDescriptor,    // an open file of this process, `descriptor`
  kOtherProcess,  // an open file of process `process`
  kKernelFile,    // anything else in /proc or /sys (`system` names which)
};

struct KernelPath {
  KernelPathKind kind;
  int descriptor;
  long process;
  const char* system;
};

// What `path` names when its folder lies in /proc or /sys (wherever they
// are mounted); the last part of the path is not followed.
KernelPath ClassifyKernelPath(const char* path);

}  // namespace noisebind::image

#endif  // NOISEBIND_IMAGE_KERNEL_PATH_H
