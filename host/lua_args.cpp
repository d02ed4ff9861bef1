#include "host/lua_args.h"

#include <cstring>
#include <lua.hpp>

#include "host/lua_compat.h"

namespace vessa {
namespace {

// Registry keys of the tables {function = name} of functions and methods.
const char kFunctionNames = 0;
const char kMethodNames = 0;

// The name `function` (on top of the stack) was stored under, from the
// table at registry[key], or null; pushes one value.
const char* StoredName(lua_State* L, const void* key, int function) {
  GetRegistryValue(L, key);
  if (!lua_istable(L, -1)) return nullptr;
  lua_pushvalue(L, function);
  lua_rawget(L, -2);
  lua_remove(L, -2);
  return lua_tostring(L, -1);
}

// Pushes registry[key], a table with weak keys made on first use.
void PushNames(lua_State* L, const void* key) {
  GetRegistryValue(L, key);
  if (lua_istable(L, -1)) return;
  lua_pop(L, 1);
  lua_newtable(L);
  lua_createtable(L, 0, 1);
  lua_pushstring(L, "k");
  lua_setfield(L, -2, "__mode");
  lua_setmetatable(L, -2);
  lua_pushvalue(L, -1);
  SetRegistryValue(L, key);
}

}  // namespace

void ArgError(lua_State* L, int index, const char* message) {
  lua_Debug ar;
  if (!lua_getstack(L, 0, &ar)) luaL_error(L, "bad argument #%d (%s)", index, message);
  lua_getinfo(L, "nf", &ar);
  const int function = lua_gettop(L);
  const char* name = ar.name;
  bool method =
      name != nullptr && ar.namewhat != nullptr && std::strcmp(ar.namewhat, "method") == 0;
  if (name == nullptr) {
    name = StoredName(L, &kMethodNames, function);
    method = name != nullptr;
  }
  if (name == nullptr) name = StoredName(L, &kFunctionNames, function);
  if (name == nullptr) name = "?";
  if (method && --index == 0) luaL_error(L, "calling '%s' on bad self (%s)", name, message);
  luaL_error(L, "bad argument #%d to '%s' (%s)", index, name, message);
  __builtin_unreachable();
}

void TypeError(lua_State* L, int index, const char* expected) {
  const char* got = lua_isnone(L, index) ? "no value" : luaL_typename(L, index);
  ArgError(L, index, lua_pushfstring(L, "%s expected, got %s", expected, got));
}

double CheckNumber(lua_State* L, int index) {
  // lua_isnumber: numbers and the strings that convert, as luaL_checknumber.
  if (!lua_isnumber(L, index)) TypeError(L, index, "number");
  return lua_tonumber(L, index);
}

void CheckType(lua_State* L, int index, int type) {
  if (lua_type(L, index) != type) TypeError(L, index, lua_typename(L, type));
}

const char* CheckString(lua_State* L, int index, std::size_t* length) {
  const char* text = lua_isstring(L, index) ? lua_tolstring(L, index, length) : nullptr;
  if (text == nullptr) TypeError(L, index, "string");
  return text;
}

const char* CheckPath(lua_State* L, int index) {
  std::size_t length = 0;
  const char* path = CheckString(L, index, &length);
  if (std::strlen(path) != length) ArgError(L, index, "path contains a NUL byte");
  return path;
}

void NameFunctions(lua_State* L, int table, bool methods) {
  table = AbsoluteIndex(L, table);
  PushNames(L, methods ? &kMethodNames : &kFunctionNames);
  const int names = lua_gettop(L);
  lua_pushnil(L);
  while (lua_next(L, table) != 0) {
    if (lua_iscfunction(L, -1) && lua_type(L, -2) == LUA_TSTRING) {
      lua_pushvalue(L, -1);
      lua_pushvalue(L, -3);
      lua_rawset(L, names);
    }
    lua_pop(L, 1);
  }
  lua_pop(L, 1);
}

void CheckOwnEntries(lua_State* L, int table, int argument, const char* what) {
  if (!lua_getmetatable(L, table)) return;
  lua_pushstring(L, "__index");
  lua_rawget(L, -2);
  const bool indexed = !lua_isnil(L, -1);
  lua_pop(L, 2);
  if (indexed) {
    ArgError(L, argument,
             lua_pushfstring(L, "%s come from the table's own entries, not through __index", what));
  }
}

void RawField(lua_State* L, int table, const char* name) {
  table = AbsoluteIndex(L, table);
  lua_pushstring(L, name);
  lua_rawget(L, table);
}

}  // namespace vessa
