#include "lua/maps/map_args.h"

#include <cstdarg>
#include <cstring>
#include <lua.hpp>

#include "engine/maps/map_values.h"
#include "engine/maps/parallel_rows.h"
#include "host/lua_args.h"

namespace noisebind::maps {

void ArgumentError(lua_State* L, int index, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  const char* text = lua_pushvfstring(L, format, args);
  va_end(args);
  vessa::ArgError(L, index, text);
}

double CheckFinite(lua_State* L, int index, const char* what) {
  if (lua_type(L, index) != LUA_TNUMBER) vessa::TypeError(L, index, "number");
  const double value = lua_tonumber(L, index);
  if (value - value != 0.0) ArgumentError(L, index, "%s must be finite, got %f", what, value);
  return value;
}

std::uint32_t CheckCount(lua_State* L, int index, double low, double high, const char* what) {
  if (lua_type(L, index) != LUA_TNUMBER) vessa::TypeError(L, index, "number");
  const double value = lua_tonumber(L, index);
  if (value >= low && value <= high) {
    const auto count = static_cast<std::uint32_t>(value);
    if (count == value) return count;
  }
  ArgumentError(L, index, "%s must be an integer from %d to %d, got %f", what,
                static_cast<int>(low), static_cast<int>(high), value);
}

void CheckMapSize(lua_State* L, int index, std::uint32_t* width, std::uint32_t* height) {
  *width = CheckCount(L, index, 1, kMaxMapSide, "width");
  *height = CheckCount(L, index + 1, 1, kMaxMapSide, "height");
  if (!MapSizeAllowed(*width, *height)) {
    ArgumentError(L, index + 1, "%d x %d values is too large a map (at most %d values)",
                  static_cast<int>(*width), static_cast<int>(*height),
                  static_cast<int>(kMaxMapValues));
  }
}

void CheckVolumeSize(lua_State* L, int index, std::uint32_t size[3]) {
  const char* const names[] = {"width", "height", "depth"};
  for (int a = 0; a < 3; ++a) size[a] = CheckCount(L, index + a, 1, kMaxMapSide, names[a]);
  if (!MapSizeAllowed(size[0], size[1], size[2])) {
    ArgumentError(L, index + 2, "%d x %d x %d values is too large a volume (at most %d values)",
                  static_cast<int>(size[0]), static_cast<int>(size[1]), static_cast<int>(size[2]),
                  static_cast<int>(kMaxMapValues));
  }
}

void CheckNumbers(lua_State* L, int index, const char* shape, int count, double* numbers,
                  int argument) {
  const int reported = argument != 0 ? argument : index;
  if (!lua_istable(L, index)) {
    ArgumentError(L, reported, "%s expected, got %s", shape, luaL_typename(L, index));
  }
  for (int i = 0; i < count; ++i) {
    lua_rawgeti(L, index, i + 1);
    const double value = lua_tonumber(L, -1);
    if (lua_type(L, -1) != LUA_TNUMBER || value - value != 0.0) {
      ArgumentError(L, reported, "%s: item %d must be a finite number, got %s", shape, i + 1,
                    lua_type(L, -1) == LUA_TNUMBER ? lua_tostring(L, -1) : luaL_typename(L, -1));
    }
    numbers[i] = value;
    lua_pop(L, 1);
  }
}

std::uint32_t CheckOptionNames(lua_State* L, const OptionTable& options, const char* const* names) {
  vessa::CheckOwnEntries(L, options.table, options.argument, "options");
  std::uint32_t present = 0;
  lua_pushnil(L);
  while (lua_next(L, options.table) != 0) {
    lua_pop(L, 1);
    if (lua_type(L, -1) != LUA_TSTRING) {
      ArgumentError(L, options.argument, "%ss are given by name, got a %s key", options.kind,
                    luaL_typename(L, -1));
    }
    const char* key = lua_tostring(L, -1);
    bool known = false;
    for (std::uint32_t i = 0; names[i] != nullptr && !known; ++i) {
      known = std::strcmp(key, names[i]) == 0;
      if (known && i < 32) present |= std::uint32_t{1} << i;
    }
    if (!known) ArgumentError(L, options.argument, "unknown %s '%s'", options.kind, key);
  }
  return present;
}

bool OptionBoolean(lua_State* L, const OptionTable& options, const char* name, bool fallback) {
  vessa::RawField(L, options.table, name);
  const int type = lua_type(L, -1);
  if (type != LUA_TNIL && type != LUA_TBOOLEAN) {
    ArgumentError(L, options.argument, "%s '%s' must be a boolean, got %s", options.kind, name,
                  luaL_typename(L, -1));
  }
  const bool value = type == LUA_TNIL ? fallback : lua_toboolean(L, -1) != 0;
  lua_pop(L, 1);
  return value;
}

double OptionNumber(lua_State* L, const OptionTable& options, const char* name, double fallback,
                    double low, double high) {
  vessa::RawField(L, options.table, name);
  const int type = lua_type(L, -1);
  if (type == LUA_TNIL) {
    lua_pop(L, 1);
    return fallback;
  }
  if (type != LUA_TNUMBER) {
    ArgumentError(L, options.argument, "%s '%s' must be a number, got %s", options.kind, name,
                  luaL_typename(L, -1));
  }
  const double value = lua_tonumber(L, -1);
  if (!(value >= low && value <= high)) {
    ArgumentError(L, options.argument, "%s '%s' must be from %f to %f, got %f", options.kind, name,
                  low, high, value);
  }
  lua_pop(L, 1);
  return value;
}

int OptionChoice(lua_State* L, const OptionTable& options, const char* name,
                 const char* const* choices, int fallback) {
  vessa::RawField(L, options.table, name);
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    return fallback;
  }
  if (lua_type(L, -1) == LUA_TSTRING) {
    const char* given = lua_tostring(L, -1);
    for (int i = 0; choices[i] != nullptr; ++i) {
      if (std::strcmp(given, choices[i]) == 0) {
        lua_pop(L, 1);
        return i;
      }
    }
  }
  // The choices, quoted, for the message.
  luaL_Buffer names;
  luaL_buffinit(L, &names);
  for (int i = 0; choices[i] != nullptr; ++i) {
    if (i > 0) luaL_addstring(&names, choices[i + 1] != nullptr ? ", " : " or ");
    luaL_addchar(&names, '\'');
    luaL_addstring(&names, choices[i]);
    luaL_addchar(&names, '\'');
  }
  luaL_pushresult(&names);
  ArgumentError(L, options.argument, "%s '%s' must be %s, got %s", options.kind, name,
                lua_tostring(L, -1),
                lua_type(L, -2) == LUA_TSTRING ? lua_tostring(L, -2) : luaL_typename(L, -2));
}

unsigned OptionThreads(lua_State* L, const OptionTable& options) {
  vessa::RawField(L, options.table, "threads");
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    return kThreadsBySize;
  }
  const double value = lua_tonumber(L, -1);
  if (lua_type(L, -1) != LUA_TNUMBER || !(value >= 1 && value <= kMaxThreads) ||
      static_cast<unsigned>(value) != value) {
    ArgumentError(L, options.argument, "%s 'threads' must be an integer from 1 to %d, got %s",
                  options.kind, static_cast<int>(kMaxThreads),
                  lua_type(L, -1) == LUA_TNUMBER ? lua_tostring(L, -1) : luaL_typename(L, -1));
  }
  lua_pop(L, 1);
  return static_cast<unsigned>(value);
}

}  // namespace noisebind::maps
