// The Lua module: `local noise = require "noisebind"` in LuaJIT and Lua 5.1
// to 5.4. The extension is linked in; the module opens it in the state as a
// host would, silently, and returns the `noise` table.
#include <dlfcn.h>

#include <cstdio>
#include <lua.hpp>
#include <mutex>
#include <string>

#include "entry/entry_points.h"
#include "host/extension_open.h"
#include "host/lua_compat.h"
#include "host/lua_interface.h"
#include "module/noise_table.h"

namespace {

// Registry key of the state's `noise` table.
const char kNoiseKey = 0;

constexpr std::size_t kReasonSize = 256;

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

}  // namespace

extern "C" __attribute__((visibility("default"))) int luaopen_noisebind(lua_State* L);

namespace {

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

}  // namespace

extern "C" __attribute__((visibility("default"))) int luaopen_noisebind(lua_State* L) {
#if LUA_VERSION_NUM == 502 || LUA_VERSION_NUM == 503
  // Lua 5.2 and 5.3 have enough functions in common to load each other's
  // modules, and lua_version is one of them: refuse the wrong one. (Other
  // pairs fail to load, each lacking functions the other's module uses.)
  const lua_Number running = *lua_version(L);
  if (running != LUA_VERSION_NUM) {
    return luaL_error(L, "noisebind: this module is built for Lua %d.%d, not %d.%d",
                      LUA_VERSION_NUM / 100, LUA_VERSION_NUM % 100, static_cast<int>(running) / 100,
                      static_cast<int>(running) % 100);
  }
#endif
  // One table per state, however often the module is opened in it.
  vessa::GetRegistryValue(L, &kNoiseKey);
  if (!lua_isnil(L, -1)) return 1;
  lua_pop(L, 1);
  StayLoaded();
  char reason[kReasonSize];
  if (!OpenInState(L, reason))
    return luaL_error(L, "noisebind: cannot open the extension: %s", reason);
  lua_pushcfunction(L, noisebind::module::OpenNoiseTable);
  lua_call(L, 0, 1);
  lua_pushvalue(L, -1);
  vessa::SetRegistryValue(L, &kNoiseKey);
  return 1;
}
