#include "lua/module/file_functions.h"

#include <lua.hpp>

#include "lua/graphfile/graphfile_binding.h"
#include "lua/maps/map_userdata.h"

namespace noisebind::module {
namespace {

// Each list ends with null. Bytes functions (m:bytes, img:encode) stay:
// the host writes them with its own file functions, under its own rules.
constexpr const char* kImageMethods[] = {"save", nullptr};
constexpr const char* kMapMethods[] = {"savepng", "saveraw", nullptr};

void RemoveFields(lua_State* L, const char* const* names) {
  for (; *names != nullptr; ++names) {
    lua_pushnil(L);
    lua_setfield(L, -2, *names);
  }
}

// Pushes the methods of images: the `__index` of a new image's metatable
// (scripts see only its name; the C API sees the table).
void PushImageMethods(lua_State* L) {
  lua_getfield(L, 1, "image");
  lua_getfield(L, -1, "new");
  lua_pushinteger(L, 1);
  lua_pushinteger(L, 1);
  lua_call(L, 2, 1);
  lua_getmetatable(L, -1);
  lua_getfield(L, -1, "__index");
  lua_replace(L, -4);
  lua_pop(L, 2);
}

}  // namespace

int RemoveFileFunctions(lua_State* L) {
  lua_settop(L, 1);
  RemoveFields(L, objects::kGraphFileFunctions);
  PushImageMethods(L);
  RemoveFields(L, kImageMethods);
  lua_pop(L, 1);
  maps::PushMapMethods(L);
  RemoveFields(L, kMapMethods);
  lua_pop(L, 1);
  return 0;
}

}  // namespace noisebind::module
