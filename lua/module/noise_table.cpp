#include "lua/module/noise_table.h"

#include <lua.hpp>

#include "host/lua_interface.h"
#include "lua/graphfile/graphfile_binding.h"
#include "lua/image/image.h"
#include "lua/maps/maps.h"
#include "lua/objects/noise_object.h"
#include "lua/render/render.h"

namespace noisebind::module {
namespace {

constexpr char kVersion[] = "noisebind 1.0.0";

// noise.messages(): the console messages the extension gave while it was
// opened in this state, as a list of strings. The Lua module prints none.
int Messages(lua_State* L) {
  const vessa::StateServices* services = vessa::ServicesOf(L);
  const int count = services != nullptr ? static_cast<int>(services->messages.size()) : 0;
  lua_createtable(L, count, 0);
  for (int i = 0; i < count; ++i) {
    const std::string& text = services->messages[static_cast<size_t>(i)];
    lua_pushlstring(L, text.data(), text.size());
    lua_rawseti(L, -2, i + 1);
  }
  return 1;
}

// The script libraries, in the order they fill the table: each is called
// with the table and stores its functions and tables in it.
const luaL_Reg kLibraries[] = {
    {"image", noisebind::image::OpenImageLibrary},
    {"objects", noisebind::objects::OpenObjectsLibrary},
    {"graph files", noisebind::objects::OpenGraphFileLibrary},
    {"maps", noisebind::maps::OpenMapsLibrary},
    {"render", noisebind::render::OpenRenderLibrary},
};

}  // namespace

int OpenNoiseTable(lua_State* L) {
  lua_createtable(L, 0, 64);
  const int noise = lua_gettop(L);
  lua_getglobal(L, "LibNoise");
  lua_setfield(L, noise, "LibNoise");
  for (const luaL_Reg& library : kLibraries) {
    lua_pushcfunction(L, library.func);
    lua_pushvalue(L, noise);
    lua_call(L, 1, 0);
  }
  lua_pushcfunction(L, Messages);
  lua_setfield(L, noise, "messages");
  lua_pushstring(L, kVersion);
  lua_setfield(L, noise, "_VERSION");
  return 1;
}

}  // namespace noisebind::module
