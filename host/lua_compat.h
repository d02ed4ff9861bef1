// The few things that differ between the Lua versions the host side is built
// for (LuaJIT 2.1 and Lua 5.1 to 5.4), under one set of names, so that the
// code above reads the same for every version.
#ifndef VESSA_HOST_LUA_COMPAT_H
#define VESSA_HOST_LUA_COMPAT_H

#include <cstddef>
#include <lua.hpp>

#ifndef LUA_OK
#define LUA_OK 0
#endif

namespace vessa {

// Calls `function` with `data` as a light userdata argument, in protected
// mode: returns LUA_OK, or another status with the error object on top of
// the stack. Nothing outside the protection allocates, so no Lua error can
// escape: C++ code calls the Lua API this way wherever a memory error would
// otherwise unwind through its frames.
inline int ProtectedCall(lua_State* L, lua_CFunction function, void* data) {
#if LUA_VERSION_NUM >= 502
  // Light C functions and light userdata take no memory.
  lua_pushcfunction(L, function);
  lua_pushlightuserdata(L, data);
  return lua_pcall(L, 1, 0, 0);
#else
  return lua_cpcall(L, function, data);
#endif
}

// The raw length of the table or userdata at `index`.
inline std::size_t RawLength(lua_State* L, int index) {
#if LUA_VERSION_NUM >= 502
  return lua_rawlen(L, index);
#else
  return lua_objlen(L, index);
#endif
}

inline int AbsoluteIndex(lua_State* L, int index) {
#if LUA_VERSION_NUM >= 502
  return lua_absindex(L, index);
#else
  return index > 0 || index <= LUA_REGISTRYINDEX ? index : lua_gettop(L) + index + 1;
#endif
}

// A full userdata of `size` bytes with room for one user value (a table
// through which it keeps other Lua values alive).
inline void* NewUserdata(lua_State* L, std::size_t size) {
#if LUA_VERSION_NUM >= 504
  return lua_newuserdatauv(L, size, 1);
#else
  return lua_newuserdata(L, size);
#endif
}

// Pushes the user value of the userdata at `index` (nil, or the table set).
inline void GetUserValue(lua_State* L, int index) {
#if LUA_VERSION_NUM >= 504
  lua_getiuservalue(L, index, 1);
#elif LUA_VERSION_NUM >= 502
  lua_getuservalue(L, index);
#else
  lua_getfenv(L, index);
#endif
}

// Pops a table and makes it the user value of the userdata at `index`.
inline void SetUserValue(lua_State* L, int index) {
#if LUA_VERSION_NUM >= 504
  lua_setiuservalue(L, index, 1);
#elif LUA_VERSION_NUM >= 502
  lua_setuservalue(L, index);
#else
  lua_setfenv(L, index);
#endif
}

// registry[key] for a light userdata key: the host's per-state values.
inline void GetRegistryValue(lua_State* L, const void* key) {
#if LUA_VERSION_NUM >= 502
  lua_rawgetp(L, LUA_REGISTRYINDEX, key);
#else
  lua_pushlightuserdata(L, const_cast<void*>(key));
  lua_rawget(L, LUA_REGISTRYINDEX);
#endif
}

// Pops a value into registry[key].
inline void SetRegistryValue(lua_State* L, const void* key) {
#if LUA_VERSION_NUM >= 502
  lua_rawsetp(L, LUA_REGISTRYINDEX, key);
#else
  lua_pushlightuserdata(L, const_cast<void*>(key));
  lua_insert(L, -2);
  lua_rawset(L, LUA_REGISTRYINDEX);
#endif
}

// Stores the functions of `functions` (ending with a null name) into the
// table just below the `upvalues` values on top of the stack, each a closure
// over those values, which it pops.
inline void SetFunctions(lua_State* L, const luaL_Reg* functions, int upvalues) {
#if LUA_VERSION_NUM >= 502
  luaL_setfuncs(L, functions, upvalues);
#else
  for (; functions->name != nullptr; ++functions) {
    for (int i = 0; i < upvalues; ++i) lua_pushvalue(L, -upvalues);
    lua_pushcclosure(L, functions->func, upvalues);
    lua_setfield(L, -(upvalues + 2), functions->name);
  }
  lua_pop(L, upvalues);
#endif
}

// The userdata at `index` when its metatable is registry[name], else null.
inline void* TestUserdata(lua_State* L, int index, const char* name) {
#if LUA_VERSION_NUM >= 502
  return luaL_testudata(L, index, name);
#else
  void* data = lua_touserdata(L, index);
  if (data == nullptr || !lua_getmetatable(L, index)) return nullptr;
  lua_getfield(L, LUA_REGISTRYINDEX, name);
  const bool same = lua_rawequal(L, -1, -2) != 0;
  lua_pop(L, 2);
  return same ? data : nullptr;
#endif
}

// True for an integer-valued number of Lua 5.3 and later's integer subtype.
inline bool IsIntegerSubtype(lua_State* L, int index) {
#if LUA_VERSION_NUM >= 503
  return lua_isinteger(L, index) != 0;
#else
  (void)L;
  (void)index;
  return false;
#endif
}

}  // namespace vessa

#endif  // VESSA_HOST_LUA_COMPAT_H
