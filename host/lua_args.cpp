#include "host/lua_args.h"

#include <cstring>
#include <lua.hpp>

namespace vessa {

void TypeError(lua_State* L, int index, const char* expected) {
  const char* got = lua_isnone(L, index) ? "no value" : luaL_typename(L, index);
  luaL_argerror(L, index, lua_pushfstring(L, "%s expected, got %s", expected, got));
  // luaL_argerror does not return; this keeps the compiler sure of it.
  lua_error(L);
  __builtin_unreachable();
}

const char* CheckPath(lua_State* L, int index) {
  std::size_t length = 0;
  const char* path = luaL_checklstring(L, index, &length);
  if (std::strlen(path) != length) luaL_argerror(L, index, "path contains a NUL byte");
  return path;
}

}  // namespace vessa
