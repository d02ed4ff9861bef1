// Script files as vessa reads them: each once, whole, before anything runs,
// so that pipes, FIFOs and standard input work like files.
#ifndef VESSA_HOST_SCRIPT_SOURCE_H
#define VESSA_HOST_SCRIPT_SOURCE_H

#include <string>

namespace vessa {

struct ScriptSource {
  std::string chunkName;  // "@path", or "=stdin" for standard input
  std::string code;       // with a first line starting with '#' blanked
};

// Reads the file at `path`, or standard input when `fromStdin`. False, with
// the system's reason in `reason`, when it cannot be read (a folder among
// them).
bool ReadScript(const std::string& path, bool fromStdin, ScriptSource* source, std::string* reason);

}  // namespace vessa

#endif  // VESSA_HOST_SCRIPT_SOURCE_H
