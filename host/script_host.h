// One Lua state with the extension opened in it: what the vessa program, the
// tests and the benchmarks run scripts in.
#ifndef VESSA_HOST_SCRIPT_HOST_H
#define VESSA_HOST_SCRIPT_HOST_H

#include <memory>
#include <string>
#include <vector>

#include "host/extension_library.h"
#include "host/lua_interface.h"

namespace vessa {

struct RunOutcome {
  enum Kind { kFinished, kScriptError, kUnreadable };
  Kind kind;
  std::string message;  // the error and its traceback, unless finished
};

class ScriptHost {
 public:
  // A fresh state with Lua's standard libraries; console text goes to `console`.
  ScriptHost(const ExtensionLibrary& extension, ConsoleSink console);
  // Closes the extension for this state, if it was opened, then the state.
  ~ScriptHost();
  ScriptHost(const ScriptHost&) = delete;
  ScriptHost& operator=(const ScriptHost&) = delete;

  lua_State* lua() const { return m_L; }
  noisebind::ScriptState* state() const;
  StateServices& services() { return *m_services; }

  // Calls the extension's load entry point for this state. False, with the
  // reason in `error`, when it raised an error; `result` gets what it returned.
  bool OpenExtension(int* result, std::string* error);

  // The global `arg` as the standalone interpreter sets it: argv[scriptIndex]
  // is arg[0], the words before it have negative indices.
  void SetArgTable(const std::vector<std::string>& argv, size_t scriptIndex);

  // Runs a script file, passing `args` as its `...`.
  RunOutcome RunFile(const std::string& path, const std::vector<std::string>& args);
  RunOutcome RunString(const std::string& code, const std::string& chunkName);

 private:
  RunOutcome Call(int argumentCount);

  const ExtensionLibrary& m_extension;
  lua_State* m_L;
  StateServices* m_services;  // owned by the state
  bool m_opened = false;
};

// Console text straight to standard output, flushed as it comes.
void WriteToStdout(const char* text);

}  // namespace vessa

#endif  // VESSA_HOST_SCRIPT_HOST_H
