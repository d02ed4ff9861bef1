#include "programs/vessa/script_source.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <lua.hpp>

namespace vessa {
namespace {

constexpr std::size_t kBlock = 64 * 1024;

// Reads `fd` to its end into `text`; false with errno set on failure.
bool ReadAll(int fd, std::string* text) {
  for (;;) {
    const std::size_t used = text->size();
    text->resize(used + kBlock);
    const ssize_t got = read(fd, &(*text)[used], kBlock);
    if (got < 0 && errno == EINTR) {
      text->resize(used);
      continue;
    }
    text->resize(used + (got > 0 ? static_cast<std::size_t>(got) : 0));
    if (got <= 0) return got == 0;
  }
}

// As the standalone interpreter loads files: a first line starting with
// '#' (as "#!/usr/bin/env vessa") is skipped, its newline kept so that line
// numbers stay right, unless a binary chunk follows it.
void SkipFirstLineComment(std::string* code) {
  if (code->empty() || (*code)[0] != '#') return;
  const std::size_t newline = code->find('\n');
  if (newline == std::string::npos) {
    code->clear();
    return;
  }
  const bool binary = newline + 1 < code->size() && (*code)[newline + 1] == LUA_SIGNATURE[0];
  code->erase(0, binary ? newline + 1 : newline);
}

}  // namespace

bool ReadScript(const std::string& path, bool fromStdin, ScriptSource* source,
                std::string* reason) {
  const int fd = fromStdin ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *reason = std::strerror(errno);
    return false;
  }
  source->code.clear();
  const bool read = ReadAll(fd, &source->code);
  const int error = errno;
  if (!fromStdin) close(fd);
  if (!read) {
    *reason = std::strerror(error);
    return false;
  }
  SkipFirstLineComment(&source->code);
  source->chunkName = fromStdin ? "=stdin" : "@" + path;
  return true;
}

}  // namespace vessa
