#include "host/script_host.h"

#include <cstdio>
#include <lua.hpp>
#include <stdexcept>

#include "host/extension_open.h"

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

}  // namespace

void WriteToStdout(const char* text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
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

void ScriptHost::SetArgTable(const std::vector<std::string>& argv, size_t scriptIndex) {
  lua_createtable(m_L, static_cast<int>(argv.size() - scriptIndex), static_cast<int>(scriptIndex));
  for (size_t i = 0; i < argv.size(); ++i) {
    lua_pushstring(m_L, argv[i].c_str());
    lua_rawseti(m_L, -2, static_cast<int>(i) - static_cast<int>(scriptIndex));
  }
  lua_setglobal(m_L, "arg");
}

RunOutcome ScriptHost::RunFile(const std::string& path, const std::vector<std::string>& args) {
  const int status = luaL_loadfile(m_L, path.c_str());
  if (status != 0) {
    RunOutcome outcome{status == LUA_ERRFILE ? RunOutcome::kUnreadable : RunOutcome::kScriptError,
                       lua_tostring(m_L, -1) ? lua_tostring(m_L, -1) : "cannot load script"};
    lua_pop(m_L, 1);
    return outcome;
  }
  for (const std::string& word : args) lua_pushstring(m_L, word.c_str());
  return Call(static_cast<int>(args.size()));
}

RunOutcome ScriptHost::RunString(const std::string& code, const std::string& chunkName) {
  if (luaL_loadbuffer(m_L, code.data(), code.size(), chunkName.c_str()) != 0) {
    RunOutcome outcome{RunOutcome::kScriptError, lua_tostring(m_L, -1)};
    lua_pop(m_L, 1);
    return outcome;
  }
  return Call(0);
}

RunOutcome ScriptHost::Call(int argumentCount) {
  const int function = lua_gettop(m_L) - argumentCount;
  lua_pushcfunction(m_L, Traceback);
  lua_insert(m_L, function);
  const int status = lua_pcall(m_L, argumentCount, 0, function);
  RunOutcome outcome{RunOutcome::kFinished, {}};
  if (status != 0) {
    const char* message = lua_tostring(m_L, -1);
    outcome =
        RunOutcome{RunOutcome::kScriptError, message ? message : "(error object is not a string)"};
  }
  lua_settop(m_L, function - 1);
  return outcome;
}

}  // namespace vessa
