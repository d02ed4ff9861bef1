// The only files the studio writes: the graph file it was started for, and
// exports beside it.
#ifndef NOISEBIND_STUDIO_FILE_NAMES_H
#define NOISEBIND_STUDIO_FILE_NAMES_H

#include <string>

namespace noisebind::studio {

// The path of export `name` in the folder of `graphPath`: a plain file
// name (no folder, not hidden) ending in `extension`, other than the graph
// file's own. False with the reason otherwise.
bool ExportPath(const std::string& graphPath, const std::string& name, const std::string& extension,
                std::string* path, std::string* error);

// The last part of a path, e.g. "planet.json".
std::string BaseName(const std::string& path);

}  // namespace noisebind::studio

#endif  // NOISEBIND_STUDIO_FILE_NAMES_H
