// The Lua module: `local noise = require "noisebind"` in LuaJIT and Lua 5.1
// to 5.4, and `require "noisebind.safe"`, the same table with no global
// published and no function that opens a file (Lua's all-in-one loader
// finds luaopen_noisebind_safe in noisebind.so). The extension is linked
// in; the module opens it in the state as a host would, silently.
#include <dlfcn.h>

#include <cstdio>
#include <lua.hpp>
#include <mutex>
#include <string>

#include "entry/entry_points.h"
#include "host/extension_open.h"
#include "host/lua_compat.h"
#include "host/lua_interface.h"
#include "lua/module/file_functions.h"
#include "lua/module/noise_table.h"

extern "C" __attribute__((visibility("default"))) int luaopen_noisebind(lua_State* L);
extern "C" __attribute__((visibility("default"))) int luaopen_noisebind_safe(lua_State* L);

namespace {

// Registry keys of the state's table, one per flavour.
const char kNoiseKey = 0;
const char kSafeKey = 0;

// A state has one flavour: a safe table must not share its maps' methods
// with a table that writes files, nor a full one lose them.
struct Flavour {
  const char* name;
  const void* key;
  const void* otherKey;
  const char* otherName;
  bool safe;
};

constexpr Flavour kFull{"noisebind", &kNoiseKey, &kSafeKey, "noisebind.safe", false};
constexpr Flavour kSafe{"noisebind.safe", &kSafeKey, &kNoiseKey, "noisebind", true};

constexpr std::size_t kReasonSize = 256;
constexpr char kGlobalName[] = "LibNoise";

// Opens the extension in the state; on failure, false with the reason.
// Holds C++ objects, so it returns before anything raises a Lua error.
bool OpenInState(lua_State* L, char* reason) {
  try {
    // The messages are kept for noise.messages(), not printed.
    vessa::StateServices* services = vessa::InstallServices(L, nullptr);
    std::string error;
    int result = 0;
    if (!vessa::OpenExtension(L, vessa_open, services, &result, &error)) {
      std::snprintf(reason, kReasonSize, "%s", error.c_str());
      return false;
    }
    services->closeOnCollect = vessa_close;
    if (result != 0) {
      std::snprintf(reason, kReasonSize, "its open returned %d", result);
      return false;
    }
    return true;
  } catch (const std::exception& failure) {
    std::snprintf(reason, kReasonSize, "%s", failure.what());
  }
  return false;
}

// Lua unloads a C module when the last state that required it closes, which
// would reset every shared instance. Kept loaded instead, the module behaves
// as vessa's extension does: settings made in one state reach every state
// opened later, in any thread.
void StayLoaded() {
  static std::once_flag once;
  std::call_once(once, [] {
    Dl_info self;
    if (dladdr(reinterpret_cast<void*>(&luaopen_noisebind), &self) != 0 && self.dli_fname) {
      dlopen(self.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
  });
}

// Pushes the table the extension publishes its global into: the running
// function's environment in 5.1, the registry's globals later.
void PushGlobals(lua_State* L) {
#if LUA_VERSION_NUM >= 502
  lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
#else
  lua_pushvalue(L, LUA_GLOBALSINDEX);
#endif
}

// Today every build uses functions the other Luas lack, so the system's
// loader refuses it first (`undefined symbol: lua_rotate`). Lua 5.2 and 5.3
// share the most, lua_version among them: should a build of one ever load
// into the other, it is refused here.
void CheckLuaVersion(lua_State* L, const char* name) {
#if LUA_VERSION_NUM == 502 || LUA_VERSION_NUM == 503
  const lua_Number running = *lua_version(L);
  if (running != LUA_VERSION_NUM) {
    luaL_error(L, "%s: this module is built for Lua %d.%d, not %d.%d", name, LUA_VERSION_NUM / 100,
               LUA_VERSION_NUM % 100, static_cast<int>(running) / 100,
               static_cast<int>(running) % 100);
  }
#else
  (void)L;
  (void)name;
#endif
}

// The safe flavour's table, made while the extension's global is there (the
// table takes it), then without the file functions.
int MakeSafeTable(lua_State* L) {
  lua_pushcfunction(L, noisebind::module::OpenNoiseTable);
  lua_call(L, 0, 1);
  lua_pushcfunction(L, noisebind::module::RemoveFileFunctions);
  lua_pushvalue(L, -2);
  lua_call(L, 1, 0);
  return 1;
}

// The global LibNoise as scripts see it, through the globals' metamethods
// (a state may keep its globals in a table behind _G's __index): pushes
// globals[name] with the table at 1.
int GetGlobal(lua_State* L) {
  lua_getfield(L, 1, kGlobalName);
  return 1;
}

// Puts back the value at 2 the same way the extension published its own,
// through __newindex, so that no copy of LibNoise stays behind.
int SetGlobal(lua_State* L) {
  lua_settop(L, 2);
  lua_setfield(L, 1, kGlobalName);
  return 0;
}

int OpenModule(lua_State* L, const Flavour& flavour) {
  CheckLuaVersion(L, flavour.name);
  // One table per state, however often the module is opened in it.
  vessa::GetRegistryValue(L, flavour.key);
  if (!lua_isnil(L, -1)) return 1;
  vessa::GetRegistryValue(L, flavour.otherKey);
  if (!lua_isnil(L, -1)) {
    return luaL_error(L, "%s: %s is open in this Lua state already", flavour.name,
                      flavour.otherName);
  }
  lua_settop(L, 0);
  StayLoaded();
  PushGlobals(L);
  // What the safe flavour puts back: 2.
  if (flavour.safe) {
    lua_pushcfunction(L, GetGlobal);
    lua_pushvalue(L, 1);
    lua_call(L, 1, 1);
  } else {
    lua_pushnil(L);
  }
  char reason[kReasonSize];
  if (!OpenInState(L, reason)) {
    lua_pushfstring(L, "%s: cannot open the extension: %s", flavour.name, reason);
  } else {
    lua_pushcfunction(L, flavour.safe ? MakeSafeTable : noisebind::module::OpenNoiseTable);
    lua_pcall(L, 0, 1, 0);
  }
  const int outcome = lua_gettop(L);
  bool opened = lua_istable(L, outcome);
  if (flavour.safe) {
    lua_pushcfunction(L, SetGlobal);
    lua_pushvalue(L, 1);
    lua_pushvalue(L, 2);
    // A table whose global stays published is no safe table.
    if (lua_pcall(L, 2, 0, 0) != LUA_OK) {
      lua_pushfstring(L, "%s: cannot put the global %s back: %s", flavour.name, kGlobalName,
                      lua_tostring(L, -1));
      opened = false;
    }
  }
  if (!opened) return lua_error(L);
  lua_pushvalue(L, outcome);
  vessa::SetRegistryValue(L, flavour.key);
  lua_pushvalue(L, outcome);
  return 1;
}

}  // namespace

extern "C" int luaopen_noisebind(lua_State* L) {
  return OpenModule(L, kFull);
}

extern "C" int luaopen_noisebind_safe(lua_State* L) {
  return OpenModule(L, kSafe);
}
