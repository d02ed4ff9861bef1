#include "programs/studio/file_names.h"

namespace noisebind::studio {

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ExportPath(const std::string& graphPath, const std::string& name, const std::string& extension,
                std::string* path, std::string* error) {
  bool plain = !name.empty() && name.size() <= 200 && name[0] != '.';
  for (const char c : name) {
    const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                         (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
    plain = plain && allowed;
  }
  if (!plain) {
    *error = "export name must be a plain file name (letters, digits, '.', '_', '-'), got '" +
             name + "'";
    return false;
  }
  if (name.size() <= extension.size() ||
      name.compare(name.size() - extension.size(), extension.size(), extension) != 0) {
    *error = "export name must end in " + extension + ", got '" + name + "'";
    return false;
  }
  if (name == BaseName(graphPath)) {
    *error = "export name must not be the graph file's";
    return false;
  }
  const std::size_t slash = graphPath.find_last_of('/');
  *path = slash == std::string::npos ? name : graphPath.substr(0, slash + 1) + name;
  return true;
}

}  // namespace noisebind::studio
