#include "host/extension_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace vessa {

namespace {
constexpr const char* kExtensionFileName = "noisebind.so";
}

std::unique_ptr<ExtensionLibrary> ExtensionLibrary::Load(const std::string& path,
                                                         std::string* error) {
  // A bare file name would make dlopen search the library path instead.
  const std::string target = path.find('/') == std::string::npos ? "./" + path : path;
  void* handle = dlopen(target.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    *error = "cannot load extension '" + path + "': " + (reason ? reason : "unknown error");
    return nullptr;
  }
  auto open = reinterpret_cast<VessaOpenFunction>(dlsym(handle, "vessa_open"));
  auto close = reinterpret_cast<VessaCloseFunction>(dlsym(handle, "vessa_close"));
  if (open == nullptr || close == nullptr) {
    *error = "extension '" + path + "' has no entry point '" +
             (open == nullptr ? "vessa_open" : "vessa_close") + "'";
    dlclose(handle);
    return nullptr;
  }
  return std::unique_ptr<ExtensionLibrary>(new ExtensionLibrary(handle, path, open, close));
}

ExtensionLibrary::ExtensionLibrary(void* handle, std::string path, VessaOpenFunction open,
                                   VessaCloseFunction close)
    : m_handle(handle), m_path(std::move(path)), m_open(open), m_close(close) {}

ExtensionLibrary::~ExtensionLibrary() {
  dlclose(m_handle);
}

std::string DefaultExtensionPath() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (length <= 0) return kExtensionFileName;
  std::string self(buffer, static_cast<size_t>(length));
  const size_t slash = self.rfind('/');
  const std::string folder = self.substr(0, slash + 1);
  const std::string beside = folder + kExtensionFileName;
#ifdef NOISEBIND_INSTALLED_EXTENSION
  // An installed program finds it where the installation put it.
  if (access(beside.c_str(), F_OK) != 0) return folder + NOISEBIND_INSTALLED_EXTENSION;
#endif
  return beside;
}

}  // namespace vessa
