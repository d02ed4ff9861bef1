#include "host/lua_args.h"

#include <lua.hpp>

namespace vessa {

void TypeError(lua_State* L, int index, const char* expected) {
  const char* got = lua_isnone(L, index) ? "no value" : luaL_typename(L, index);
  luaL_argerror(L, index, lua_pushfstring(L, "%s expected, got %s", expected, got));
  // luaL_argerror does not return; this keeps the compiler sure of it.
  lua_error(L);
  __builtin_unreachable();
}

}  // namespace vessa
