// vessa: runs Lua scripts with the noise extension loaded, as a host
// application would, with the command line of the standalone interpreters.

#include <unistd.h>

#include <cstdio>
#include <lua.hpp>  // LuaJIT's, with luajit.h
#include <memory>
#include <string>
#include <vector>

#include "host/embed.h"
#include "host/extension_library.h"
#include "host/script_host.h"
#include "programs/vessa/interactive.h"
#include "programs/vessa/progress_bar.h"
#include "programs/vessa/script_source.h"
#include "programs/vessa/vessa_options.h"

namespace {

using vessa::Options;
using vessa::ScriptHost;

constexpr int kExitScriptError = 1;
constexpr int kExitUsage = 2;

int UsageError(const std::string& message) {
  std::fprintf(stderr, "vessa: %s (try 'vessa --help')\n", message.c_str());
  return kExitUsage;
}

int Failure(const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "vessa: %s\n", message.c_str());
  return kExitScriptError;
}

void DropConsole(const char*) {}

// What every state is made with.
struct Run {
  const vessa::ExtensionLibrary& extension;
  const Options& options;
  const std::vector<std::string>& words;
  std::vector<std::string> scriptArgs;
};

// A fresh state with the extension open, its tables published, sandboxed
// if asked, and `arg` set with `arg0` as arg[0]. Null, with the exit status
// in `status`, on failure.
std::unique_ptr<ScriptHost> OpenState(const Run& run, const std::string& arg0, int* status) {
  auto host = std::make_unique<ScriptHost>(run.extension,
                                           run.options.quiet ? DropConsole : vessa::WriteToStderr);
  int result = 0;
  std::string error;
  if (!host->OpenExtension(&result, &error)) {
    *status = Failure("the extension failed to open: " + error);
    return nullptr;
  }
  if (result != 0) {
    *status = Failure("the extension's open returned " + std::to_string(result));
    return nullptr;
  }
  host->services().progress = vessa::TerminalProgress();
  lua_State* L = host->lua();
  if (!vessa::PublishNoiseTable(L, &error)) {
    *status = Failure("cannot make the noise table: " + error);
    return nullptr;
  }
  // vessa's scripts have the image table as a global of its own, too.
  lua_getglobal(L, "noise");
  lua_getfield(L, -1, "image");
  lua_setglobal(L, "image");
  lua_pop(L, 1);
  if (run.options.sandbox && !host->Sandbox(&error)) {
    *status = Failure("cannot make the sandbox: " + error);
    return nullptr;
  }
  std::vector<std::string> words = run.words;
  if (run.options.scriptIndex != 0) words[run.options.scriptIndex] = arg0;
  if (!host->SetArgTable(words, run.options.scriptIndex)) {
    *status = Failure("not enough memory for the arguments");
    return nullptr;
  }
  return host;
}

int Report(const vessa::RunOutcome& outcome) {
  return outcome.kind == vessa::RunOutcome::kFinished ? 0 : Failure(outcome.message);
}

int RunSource(ScriptHost& host, const vessa::ScriptSource& source,
              const std::vector<std::string>& args) {
  return Report(host.Run(vessa::Chunk{source.code, source.chunkName, &args}));
}

// A script named on the command line, or standard input read as one.
bool HasScript(const Options& options) {
  return options.scriptIndex != 0 || options.scriptIsStdin;
}

// Reads every file before anything runs, so that a file that cannot be
// read is a usage error; each is read once.
bool ReadSources(const Options& options, const std::vector<std::string>& words,
                 std::vector<vessa::ScriptSource>* before, vessa::ScriptSource* script,
                 std::string* error) {
  std::string reason;
  for (const vessa::Step& step : options.steps) {
    if (step.kind != vessa::Step::kBeforeFile) continue;
    if (!vessa::ReadScript(step.text, false, &before->emplace_back(), &reason)) {
      *error = "cannot read '" + step.text + "': " + reason;
      return false;
    }
  }
  if (!HasScript(options)) return true;
  const std::string path = options.scriptIndex != 0 ? words[options.scriptIndex] : "-";
  if (vessa::ReadScript(path, options.scriptIsStdin, script, &reason)) return true;
  *error = "cannot read '" + path + "': " + reason;
  return false;
}

// Runs the steps, the script and the prompt in order; the script's state
// is made when the first of them needs it.
int RunAll(const Run& run, const std::vector<vessa::ScriptSource>& before,
           const vessa::ScriptSource& script) {
  const Options& options = run.options;
  const std::string scriptName = options.scriptIndex != 0 ? run.words[options.scriptIndex] : "";
  std::unique_ptr<ScriptHost> main;
  int status = 0;
  auto mainState = [&]() -> ScriptHost* {
    if (!main) main = OpenState(run, scriptName, &status);
    return main.get();
  };
  auto beforeFile = before.begin();
  for (const vessa::Step& step : options.steps) {
    if (step.kind == vessa::Step::kBeforeFile) {
      const std::unique_ptr<ScriptHost> own = OpenState(run, step.text, &status);
      if (!own) return status;
      status = RunSource(*own, *beforeFile++, run.scriptArgs);
    } else if (ScriptHost* host = mainState()) {
      status = Report(host->Run(vessa::Chunk{step.text, "=(command line)"}));
    }
    if (status != 0) return status;
  }
  if (HasScript(options)) {
    ScriptHost* host = mainState();
    if (host == nullptr) return status;
    status = RunSource(*host, script, run.scriptArgs);
    if (status != 0) return status;
  }
  if (options.interactive) {
    ScriptHost* host = mainState();
    if (host == nullptr) return status;
    const bool terminal = isatty(STDIN_FILENO) != 0;
    if (terminal && !options.quiet) {
      std::fprintf(stderr, "vessa 1.0.0 (%s) with LibNoise and the noise table; Ctrl-D ends\n",
                   LUAJIT_VERSION);
    }
    vessa::RunInteractive(*host, stdin, terminal);
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  // What scripts print arrives line by line, even through a pipe.
  std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
  const std::vector<std::string> words(argv, argv + argc);
  Options options;
  std::string error;
  if (!vessa::ParseOptions(words, &options, &error)) return UsageError(error);
  if (options.action == Options::kHelp) {
    std::fputs(vessa::kUsage, stdout);
    return 0;
  }
  if (options.action == Options::kVersion) {
    std::printf("vessa 1.0.0 (%s)\n", LUAJIT_VERSION);
    return 0;
  }
  // Nothing to run: the prompt on a terminal, else standard input as the
  // script, as the standalone interpreters do.
  if (options.scriptIndex == 0 && options.steps.empty() && !options.interactive) {
    if (isatty(STDIN_FILENO)) {
      options.interactive = true;
    } else {
      options.scriptIsStdin = true;
    }
  }

  std::vector<vessa::ScriptSource> before;
  vessa::ScriptSource script;
  if (!ReadSources(options, words, &before, &script, &error)) return UsageError(error);

  const std::string path =
      options.extension.empty() ? vessa::DefaultExtensionPath() : options.extension;
  const auto extension = vessa::ExtensionLibrary::Load(path, &error);
  if (!extension) return UsageError(error);

  Run run{*extension, options, words, {}};
  if (options.scriptIndex != 0) {
    run.scriptArgs.assign(words.begin() + static_cast<long>(options.scriptIndex) + 1, words.end());
  }
  return RunAll(run, before, script);
}
