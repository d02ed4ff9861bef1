// vessa: runs Lua scripts with the noise extension loaded, as a host
// application would.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <lua.hpp>  // LuaJIT's, with luajit.h
#include <string>
#include <vector>

#include "host/extension_library.h"
#include "host/progress_bar.h"
#include "host/script_host.h"
#include "module/noise_table.h"

namespace {

constexpr int kExitScriptError = 1;
constexpr int kExitUsage = 2;

constexpr char kUsage[] =
    "usage: vessa [--extension PATH] [--before FILE]... SCRIPT [ARGS...]\n"
    "\n"
    "Runs SCRIPT with LuaJIT, with the noise extension loaded and its LibNoise table\n"
    "published. Each --before FILE runs first, in order, in a fresh Lua state of its\n"
    "own; all states share the one loaded extension. The global 'arg' and the\n"
    "script's '...' hold ARGS.\n"
    "\n"
    "  --extension PATH  load the extension from PATH (default: the one beside vessa)\n"
    "  --before FILE     run FILE first, in a state of its own (may be repeated)\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "Exit status: 0 when every script finished, 1 when a script raised an error,\n"
    "2 for a usage error.\n";

struct Options {
  std::string extension;
  std::vector<std::string> before;
  size_t scriptIndex = 0;  // in argv; 0 when no script was given
};

int UsageError(const std::string& message) {
  std::fprintf(stderr, "vessa: %s (try 'vessa --help')\n", message.c_str());
  return kExitUsage;
}

bool Readable(const std::string& path, std::string* reason) {
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) {
    *reason = std::strerror(errno);
    return false;
  }
  // A directory opens, but reading it fails.
  const bool readable = std::fgetc(file) != EOF || !std::ferror(file);
  if (!readable) *reason = std::strerror(errno);
  std::fclose(file);
  return readable;
}

// Publishes the `noise` table as the global `noise`, its `image` as the
// global `image`, and makes `require "noisebind"` give the same table.
int PublishNoiseTable(lua_State* L) {
  lua_pushcfunction(L, noisebind::module::OpenNoiseTable);
  lua_call(L, 0, 1);
  lua_pushvalue(L, -1);
  lua_setglobal(L, "noise");
  lua_getfield(L, -1, "image");
  lua_setglobal(L, "image");
  lua_getglobal(L, "package");
  lua_getfield(L, -1, "loaded");
  lua_pushvalue(L, -3);
  lua_setfield(L, -2, "noisebind");
  return 0;
}

// Runs one script file in a fresh state. Returns the exit status it earns.
int RunScript(const vessa::ExtensionLibrary& extension, const std::string& path,
              const std::vector<std::string>& argv, size_t scriptIndex) {
  vessa::ScriptHost host(extension, vessa::WriteToStdout);
  int result = 0;
  std::string error;
  if (!host.OpenExtension(&result, &error)) {
    std::fprintf(stderr, "vessa: the extension failed to open: %s\n", error.c_str());
    return kExitScriptError;
  }
  host.services().progress = vessa::TerminalProgress();
  lua_State* L = host.lua();
  if (lua_cpcall(L, PublishNoiseTable, nullptr) != 0) {
    std::fprintf(stderr, "vessa: cannot make the noise table: %s\n", lua_tostring(L, -1));
    return kExitScriptError;
  }
  std::vector<std::string> args(argv.begin() + static_cast<long>(scriptIndex) + 1, argv.end());
  std::vector<std::string> words = argv;
  words[scriptIndex] = path;
  host.SetArgTable(words, scriptIndex);
  const vessa::RunOutcome outcome = host.RunFile(path, args);
  switch (outcome.kind) {
    case vessa::RunOutcome::kFinished:
      return 0;
    case vessa::RunOutcome::kUnreadable:
      return UsageError(outcome.message);
    case vessa::RunOutcome::kScriptError:
      break;
  }
  std::fflush(stdout);
  std::fprintf(stderr, "vessa: %s\n", outcome.message.c_str());
  return kExitScriptError;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv, argv + argc);
  Options options;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (word == "--version") {
      std::printf("vessa 1.0.0 (%s)\n", LUAJIT_VERSION);
      return 0;
    }
    if (word == "--extension" || word == "--before") {
      if (i + 1 >= words.size()) return UsageError("option '" + word + "' needs a file");
      (word == "--extension" ? options.extension : options.before.emplace_back()) = words[++i];
      continue;
    }
    if (word == "--") {
      if (i + 1 < words.size()) options.scriptIndex = i + 1;
      break;
    }
    if (word.size() > 1 && word[0] == '-') return UsageError("unknown option '" + word + "'");
    options.scriptIndex = i;
    break;
  }
  if (options.scriptIndex == 0) return UsageError("no script given");

  std::string reason;
  for (const std::string& file : options.before) {
    if (!Readable(file, &reason)) return UsageError("cannot read '" + file + "': " + reason);
  }
  const std::string& script = words[options.scriptIndex];
  if (!Readable(script, &reason)) return UsageError("cannot read '" + script + "': " + reason);

  std::string error;
  const std::string path =
      options.extension.empty() ? vessa::DefaultExtensionPath() : options.extension;
  const auto extension = vessa::ExtensionLibrary::Load(path, &error);
  if (!extension) return UsageError(error);

  for (const std::string& file : options.before) {
    const int status = RunScript(*extension, file, words, options.scriptIndex);
    if (status != 0) return status;
  }
  return RunScript(*extension, script, words, options.scriptIndex);
}
