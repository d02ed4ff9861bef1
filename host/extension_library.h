// The extension as a shared library loaded with the system's loader.
#ifndef VESSA_HOST_EXTENSION_LIBRARY_H
#define VESSA_HOST_EXTENSION_LIBRARY_H

#include <memory>
#include <string>

#include "entry/entry_points.h"

namespace vessa {

class ExtensionLibrary {
 public:
  // Null, with the reason in `error`, when the file cannot be loaded or
  // lacks an entry point.
  static std::unique_ptr<ExtensionLibrary> Load(const std::string& path, std::string* error);
  ~ExtensionLibrary();
  ExtensionLibrary(const ExtensionLibrary&) = delete;
  ExtensionLibrary& operator=(const ExtensionLibrary&) = delete;

  VessaOpenFunction open() const { return m_open; }
  VessaCloseFunction close() const { return m_close; }
  const std::string& path() const { return m_path; }

 private:
  ExtensionLibrary(void* handle, std::string path, VessaOpenFunction open,
                   VessaCloseFunction close);

  void* m_handle;
  std::string m_path;
  VessaOpenFunction m_open;
  VessaCloseFunction m_close;
};

// The extension beside the running program (where the build puts it), or,
// when there is none, where an installation of the program puts it.
std::string DefaultExtensionPath();

}  // namespace vessa

#endif  // VESSA_HOST_EXTENSION_LIBRARY_H
