#include "host/embed.h"

#include <lua.hpp>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "host/extension_library.h"
#include "host/extension_open.h"
#include "host/lua_compat.h"
#include "lua/module/noise_table.h"

namespace vessa {
namespace {

constexpr char kSafeRefusal[] =
    "noisebind.safe: not in a state that has the noise table already (require \"noisebind\" "
    "gives it); noisebind.safe is for the Lua module";

// The loader of noisebind.safe here: the Lua module's file would be a
// second copy of the extension, whose LibNoise settings are not this one's.
int RefuseSafe(lua_State* L) {
  return luaL_error(L, "%s", kSafeRefusal);
}

int Publish(lua_State* L) {
  lua_pushcfunction(L, noisebind::module::OpenNoiseTable);
  lua_call(L, 0, 1);
  const int noise = lua_gettop(L);
  lua_pushvalue(L, noise);
  lua_setglobal(L, "noise");
  lua_getglobal(L, "package");
  const int package = lua_gettop(L);
  if (!lua_istable(L, package)) return 0;
  lua_getfield(L, package, "loaded");
  if (lua_istable(L, -1)) {
    lua_pushvalue(L, noise);
    lua_setfield(L, -2, "noisebind");
  }
  lua_getfield(L, package, "preload");
  if (lua_istable(L, -1)) {
    lua_pushcfunction(L, RefuseSafe);
    lua_setfield(L, -2, "noisebind.safe");
  }
  return 0;
}

// An extension file, once loaded here, stays loaded for the life of the
// process: every state opened later shares its instances and settings, as
// vessa's states do, and no state's close unloads it under another's feet.
// (The map is never destroyed, so that nothing unloads during exit either.)
const ExtensionLibrary* Load(const std::string& path, std::string* error) {
  static std::mutex mutex;
  static auto* loaded = new std::map<std::string, std::unique_ptr<ExtensionLibrary>>();
  const std::lock_guard<std::mutex> lock(mutex);
  std::unique_ptr<ExtensionLibrary>& library = (*loaded)[path];
  if (!library) library = ExtensionLibrary::Load(path, error);
  return library.get();
}

}  // namespace

bool OpenExtensionFile(lua_State* L, const std::string& path, ConsoleSink console,
                       std::string* error) {
  try {
    if (ServicesOf(L) != nullptr) {
      *error = "an extension is open in this Lua state already";
      return false;
    }
    const ExtensionLibrary* library = Load(path, error);
    if (library == nullptr) return false;
    StateServices* services = InstallServices(L, std::move(console));
    int result = 0;
    if (!OpenExtension(L, library->open(), services, &result, error)) return false;
    services->closeOnCollect = library->close();
    if (result != 0) {
      *error = "the extension's open returned " + std::to_string(result);
      return false;
    }
    return true;
  } catch (const std::exception& failure) {
    *error = failure.what();
  }
  return false;
}

bool PublishNoiseTable(lua_State* L, std::string* error) {
  if (ProtectedCall(L, Publish, nullptr) == LUA_OK) return true;
  const char* message = lua_tostring(L, -1);
  *error = message != nullptr ? message : "cannot make the noise table";
  lua_pop(L, 1);
  return false;
}

}  // namespace vessa
