// One Lua state with the extension opened in it: what the vessa program, the
// tests and the benchmarks run scripts in.
#ifndef VESSA_HOST_SCRIPT_HOST_H
#define VESSA_HOST_SCRIPT_HOST_H

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/extension_library.h"
#include "host/lua_interface.h"

namespace vessa {

struct RunOutcome {
  enum Kind { kFinished, kSyntaxError, kScriptError };
  Kind kind;
  std::string message;  // the error (and its traceback, when it ran), unless finished
};

// Lua code to run in a state.
struct Chunk {
  std::string_view code;
  std::string name;                                // as Lua names chunks: "@file", "=stdin"
  const std::vector<std::string>* args = nullptr;  // its `...`; none when null
  bool printResults = false;                       // print what it returns, as a prompt does
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
  // is arg[0], the words before it have negative indices. False when memory
  // runs out.
  bool SetArgTable(const std::vector<std::string>& argv, size_t scriptIndex);

  // Leaves out what would let a script crash the host (see sandbox.h), and
  // loads only text chunks from now on. False, with the reason, on failure.
  bool Sandbox(std::string* error);

  // Loads and runs a chunk, with a traceback for its errors. Never raises.
  RunOutcome Run(const Chunk& chunk);
  RunOutcome RunString(const std::string& code, const std::string& chunkName);

 private:
  const ExtensionLibrary& m_extension;
  lua_State* m_L;
  StateServices* m_services;  // owned by the state
  bool m_opened = false;
  bool m_textOnly = false;
};

// Console text to standard error, after what scripts printed so far.
void WriteToStderr(const char* text);

}  // namespace vessa

#endif  // VESSA_HOST_SCRIPT_HOST_H
