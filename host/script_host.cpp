#include "host/script_host.h"

#include <cstdio>
#include <lua.hpp>
#include <stdexcept>

#include "host/extension_open.h"
#include "host/lua_compat.h"
#include "host/sandbox.h"

namespace vessa {
namespace {

int Traceback(lua_State* L) {
  const char* message = lua_tostring(L, 1);
  if (message == nullptr) {
    if (luaL_callmeta(L, 1, "__tostring") && lua_type(L, -1) == LUA_TSTRING) return 1;
    message = lua_pushfstring(L, "(error object is a %s value)", luaL_typename(L, 1));
  }
  luaL_traceback(L, L, message, 1);
  return 1;
}

struct ArgTable {
  const std::vector<std::string>* argv;
  size_t scriptIndex;
};

int MakeArgTable(lua_State* L) {
  const auto& table = *static_cast<const ArgTable*>(lua_touserdata(L, 1));
  const std::vector<std::string>& argv = *table.argv;
  const int before = static_cast<int>(table.scriptIndex);
  lua_createtable(L, static_cast<int>(argv.size()) - before, before);
  for (size_t i = 0; i < argv.size(); ++i) {
    lua_pushlstring(L, argv[i].data(), argv[i].size());
    lua_rawseti(L, -2, static_cast<int>(i) - before);
  }
  lua_setglobal(L, "arg");
  return 0;
}

struct ChunkCall {
  const Chunk* chunk;
  const char* mode;  // which chunks load: "t" text only, null for any
  bool loaded;
};

// Loads and calls the chunk in protected mode, so that every failure on the
// way (memory, too many arguments) is an error like the script's own.
int CallChunk(lua_State* L) {
  auto& call = *static_cast<ChunkCall*>(lua_touserdata(L, 1));
  const Chunk& chunk = *call.chunk;
  lua_pushcfunction(L, Traceback);
  const int handler = lua_gettop(L);
  if (luaL_loadbufferx(L, chunk.code.data(), chunk.code.size(), chunk.name.c_str(), call.mode) !=
      LUA_OK) {
    return lua_error(L);
  }
  call.loaded = true;
  const int count = chunk.args != nullptr ? static_cast<int>(chunk.args->size()) : 0;
  if (!lua_checkstack(L, count)) {
    return luaL_error(L, "too many arguments for the script (%d)", count);
  }
  for (int i = 0; i < count; ++i) {
    const std::string& word = (*chunk.args)[static_cast<size_t>(i)];
    lua_pushlstring(L, word.data(), word.size());
  }
  if (lua_pcall(L, count, chunk.printResults ? LUA_MULTRET : 0, handler) != LUA_OK) {
    return lua_error(L);
  }
  const int results = lua_gettop(L) - handler;
  if (results > 0) {
    lua_getglobal(L, "print");
    lua_insert(L, handler + 1);
    lua_call(L, results, 0);
  }
  return 0;
}

}  // namespace

void WriteToStderr(const char* text) {
  std::fflush(stdout);
  std::fputs(text, stderr);
}

ScriptHost::ScriptHost(const ExtensionLibrary& extension, ConsoleSink console)
    : m_extension(extension), m_L(luaL_newstate()) {
  if (m_L == nullptr) throw std::bad_alloc();
  try {
    luaL_openlibs(m_L);
    m_services = InstallServices(m_L, std::move(console));
  } catch (...) {
    lua_close(m_L);
    throw;
  }
}

ScriptHost::~ScriptHost() {
  if (m_opened) CloseExtension(m_L, m_extension.close());
  lua_close(m_L);
}

noisebind::ScriptState* ScriptHost::state() const {
  return reinterpret_cast<noisebind::ScriptState*>(m_L);
}

bool ScriptHost::OpenExtension(int* result, std::string* error) {
  m_opened = true;
  return vessa::OpenExtension(m_L, m_extension.open(), m_services, result, error);
}

bool ScriptHost::SetArgTable(const std::vector<std::string>& argv, size_t scriptIndex) {
  ArgTable table{&argv, scriptIndex};
  if (ProtectedCall(m_L, MakeArgTable, &table) == LUA_OK) return true;
  lua_pop(m_L, 1);
  return false;
}

bool ScriptHost::Sandbox(std::string* error) {
  m_textOnly = true;
  if (ProtectedCall(m_L, OpenSandbox, nullptr) == LUA_OK) return true;
  const char* message = lua_tostring(m_L, -1);
  *error = message != nullptr ? message : "cannot make the sandbox";
  lua_pop(m_L, 1);
  return false;
}

RunOutcome ScriptHost::Run(const Chunk& chunk) {
  ChunkCall call{&chunk, m_textOnly ? "t" : nullptr, false};
  const int top = lua_gettop(m_L);
  if (ProtectedCall(m_L, CallChunk, &call) == LUA_OK) return RunOutcome{RunOutcome::kFinished, {}};
  const char* message = lua_tostring(m_L, -1);
  RunOutcome outcome{call.loaded ? RunOutcome::kScriptError : RunOutcome::kSyntaxError,
                     message != nullptr ? message : "(error object is not a string)"};
  lua_settop(m_L, top);
  return outcome;
}

RunOutcome ScriptHost::RunString(const std::string& code, const std::string& chunkName) {
  return Run(Chunk{code, chunkName});
}

}  // namespace vessa
