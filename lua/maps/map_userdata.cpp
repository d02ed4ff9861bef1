#include "lua/maps/map_userdata.h"

#include <lua.hpp>

#include "engine/maps/map_stats.h"
#include "host/lua_args.h"
#include "host/lua_compat.h"
#include "host/lua_userdata.h"
#include "lua/maps/map_args.h"

namespace noisebind::maps {
namespace {

constexpr char kTypeName[] = "map";
const char kMetatableKey = 0;

// The userdata holds only this; the values live outside Lua's memory, where
// LuaJIT's limit on a userdata (under 2 GiB) does not reach, and the
// finalizer frees them.
struct MapHeader {
  vessa::UserdataGuard guard;
  // The header's and the values' addresses mixed with a constant: a
  // userdata given the map metatable through the debug library has no
  // values of ours to point at.
  std::uintptr_t check;
  std::uint32_t width;
  std::uint32_t height;
  std::uint32_t depth;
  double* values;  // null until made, and again once freed
};

std::uintptr_t CheckOf(const MapHeader* header) {
  return (reinterpret_cast<std::uintptr_t>(header) ^
          reinterpret_cast<std::uintptr_t>(header->values)) ^
         static_cast<std::uintptr_t>(0x6d61707376616cu);
}

MapRef RefOf(const MapHeader& header) {
  return MapRef{header.width, header.height, header.values, header.depth};
}

// The header of the map at `index`, values and all; null for anything else,
// a forgery or a map whose finalizer has run (seen only by other
// finalizers).
MapHeader* ToHeader(lua_State* L, int index) {
  if (lua_type(L, index) != LUA_TUSERDATA || !lua_getmetatable(L, index)) return nullptr;
  vessa::GetRegistryValue(L, &kMetatableKey);
  const bool same = lua_rawequal(L, -1, -2) != 0;
  lua_pop(L, 2);
  if (!same || vessa::RawLength(L, index) != sizeof(MapHeader)) return nullptr;
  auto* header = static_cast<MapHeader*>(lua_touserdata(L, index));
  if (header->values == nullptr || header->check != CheckOf(header) ||
      !MapSizeAllowed(header->width, header->height, header->depth)) {
    return nullptr;
  }
  return header;
}

// __gc: gives the values back.
int Collect(lua_State* L) {
  MapHeader* header = ToHeader(L, 1);
  if (header != nullptr) {
    vessa::FreeOutside(header->values);
    header->values = nullptr;
  }
  return 0;
}

// A coordinate from 0 to size - 1; NaN fails the range test.
std::uint32_t CheckCoordinate(lua_State* L, int index, std::uint32_t size, const char* axis) {
  return CheckCount(L, index, 0, size - 1.0, axis);
}

// Layer z at `index`, from 0 as x and y; layer 0 when absent, so that
// planes take two coordinates.
std::uint32_t CheckLayer(lua_State* L, int index, std::uint32_t depth) {
  return lua_isnoneornil(L, index) ? 0 : CheckCoordinate(L, index, depth, "z");
}

// m:get(x, y [, z]): the value at column x, row y, layer z.
int Get(lua_State* L) {
  const MapRef map = CheckMap(L, 1);
  const std::uint32_t x = CheckCoordinate(L, 2, map.width, "x");
  const std::uint32_t y = CheckCoordinate(L, 3, map.height, "y");
  const std::uint32_t z = CheckLayer(L, 4, map.depth);
  lua_pushnumber(L, map.view().at(x, y, z));
  return 1;
}

// m:set(x, y, value) or m:set(x, y, z, value): changes one value; NaN and
// infinities are kept as given.
int Set(lua_State* L) {
  const MapRef map = CheckMap(L, 1);
  const std::uint32_t x = CheckCoordinate(L, 2, map.width, "x");
  const std::uint32_t y = CheckCoordinate(L, 3, map.height, "y");
  const bool layered = lua_gettop(L) >= 5;
  const std::uint32_t z = layered ? CheckCoordinate(L, 4, map.depth, "z") : 0;
  const double value = vessa::CheckNumber(L, layered ? 5 : 4);
  map.values[MapIndex(map.width, map.height, x, y, z)] = value;
  return 0;
}

int Width(lua_State* L) {
  lua_pushnumber(L, CheckMap(L, 1).width);
  return 1;
}

int Height(lua_State* L) {
  lua_pushnumber(L, CheckMap(L, 1).height);
  return 1;
}

int Depth(lua_State* L) {
  lua_pushnumber(L, CheckMap(L, 1).depth);
  return 1;
}

// m:range(): the lowest and the highest value.
int Range(lua_State* L) {
  const MapRef map = CheckMap(L, 1);
  double lowest = 0.0;
  double highest = 0.0;
  ValueRange(map.values, map.view().size(), &lowest, &highest);
  lua_pushnumber(L, lowest);
  lua_pushnumber(L, highest);
  return 2;
}

// m:flat([t]): the values into t[1] .. t[width * height * depth], in the
// order they are kept; a new table when t is nil. Gives t.
int Flat(lua_State* L) {
  const MapRef map = CheckMap(L, 1);
  const std::size_t count = map.view().size();
  if (lua_isnoneornil(L, 2)) {
    lua_settop(L, 1);
    lua_createtable(L, static_cast<int>(count), 0);
  } else if (!lua_istable(L, 2)) {
    vessa::TypeError(L, 2, "table");
  }
  lua_settop(L, 2);
  for (std::size_t i = 0; i < count; ++i) {
    lua_pushnumber(L, map.values[i]);
    lua_rawseti(L, 2, static_cast<int>(i + 1));
  }
  return 1;
}

// m:rescale(low, high) and m:clamp(low, high): `change` applied to the
// values in place, with the bounds checked alike. Gives m.
int ChangeInPlace(lua_State* L, void (*change)(double*, std::size_t, double, double)) {
  const MapRef map = CheckMap(L, 1);
  const double low = CheckFinite(L, 2, "low");
  const double high = CheckFinite(L, 3, "high");
  if (!(low <= high)) ArgumentError(L, 3, "high must not be below low (%f), got %f", low, high);
  change(map.values, map.view().size(), low, high);
  lua_settop(L, 1);
  return 1;
}

// The map's range onto [low, high].
int RescaleMethod(lua_State* L) {
  return ChangeInPlace(L, Rescale);
}

// Values beyond [low, high] to its ends.
int ClampMethod(lua_State* L) {
  return ChangeInPlace(L, Clamp);
}

void SetNumberField(lua_State* L, const char* name, double value) {
  lua_pushnumber(L, value);
  lua_setfield(L, -2, name);
}

// m:stats([bins]): {count, nan, infinite, min, max, mean, histogram}, the
// histogram of the finite values in `bins` (10 by default) equal parts of
// [min, max].
int Stats(lua_State* L) {
  const MapRef map = CheckMap(L, 1);
  const std::uint32_t bins =
      lua_isnoneornil(L, 2) ? 10 : CheckCount(L, 2, 1, kMaxStatsBins, "bins");
  lua_settop(L, 2);
  auto* histogram = static_cast<std::size_t*>(lua_newuserdata(L, bins * sizeof(std::size_t)));
  lua_createtable(L, 0, 7);
  lua_createtable(L, static_cast<int>(bins), 0);
  // After the last allocation that could run a finalizer before the work.
  const MapStats stats = ComputeStats(map.values, map.view().size(), bins, histogram);
  for (std::uint32_t bin = 0; bin < bins; ++bin) {
    lua_pushnumber(L, static_cast<double>(histogram[bin]));
    lua_rawseti(L, -2, static_cast<int>(bin + 1));
  }
  lua_setfield(L, -2, "histogram");
  SetNumberField(L, "count", static_cast<double>(stats.count));
  SetNumberField(L, "nan", static_cast<double>(stats.nan));
  SetNumberField(L, "infinite", static_cast<double>(stats.infinite));
  SetNumberField(L, "min", stats.lowest);
  SetNumberField(L, "max", stats.highest);
  SetNumberField(L, "mean", stats.mean);
  return 1;
}

int ToString(lua_State* L) {
  const MapRef map = CheckMap(L, 1);
  if (map.depth == 1) {
    lua_pushfstring(L, "map (%d x %d)", static_cast<int>(map.width), static_cast<int>(map.height));
  } else {
    lua_pushfstring(L, "map (%d x %d x %d)", static_cast<int>(map.width),
                    static_cast<int>(map.height), static_cast<int>(map.depth));
  }
  return 1;
}

const luaL_Reg kMethods[] = {
    {"width", Width},       {"height", Height}, {"depth", Depth},   {"get", Get},
    {"set", Set},           {"range", Range},   {"flat", Flat},     {"rescale", RescaleMethod},
    {"clamp", ClampMethod}, {"stats", Stats},   {nullptr, nullptr},
};

const luaL_Reg kMetamethods[] = {
    {"__gc", Collect},
    {"__tostring", ToString},
    {nullptr, nullptr},
};

}  // namespace

void OpenMapType(lua_State* L) {
  vessa::GetRegistryValue(L, &kMetatableKey);
  const bool made = lua_istable(L, -1);
  lua_pop(L, 1);
  if (made) return;
  lua_newtable(L);
  vessa::SetFunctions(L, kMetamethods, 0);
  lua_newtable(L);
  vessa::SetFunctions(L, kMethods, 0);
  lua_setfield(L, -2, "__index");
  // Scripts see this name instead of the metatable, so that they cannot
  // change the methods of every map.
  lua_pushstring(L, kTypeName);
  lua_setfield(L, -2, "__metatable");
  vessa::SetRegistryValue(L, &kMetatableKey);
}

MapRef PushNewMap(lua_State* L, std::uint32_t width, std::uint32_t height, std::uint32_t depth) {
  // The userdata owns nothing until the values are stored in it; from then
  // on its finalizer frees them, whatever error comes next.
  auto* header = static_cast<MapHeader*>(vessa::NewUserdata(L, sizeof(MapHeader)));
  *header = MapHeader{{}, 0, width, height, depth, nullptr};
  vessa::GetRegistryValue(L, &kMetatableKey);
  lua_setmetatable(L, -2);
  const std::size_t bytes = std::size_t{width} * height * depth * sizeof(double);
  header->values = static_cast<double*>(vessa::AllocateOutside(L, bytes));
  if (header->values == nullptr) {
    luaL_error(L, "not enough memory for a map of %d x %d x %d values", static_cast<int>(width),
               static_cast<int>(height), static_cast<int>(depth));
  }
  header->check = CheckOf(header);
  vessa::PaceCollector(L, bytes);
  return RefOf(*header);
}

bool TestMap(lua_State* L, int index, MapRef* map) {
  const MapHeader* header = ToHeader(L, index);
  if (header == nullptr) return false;
  *map = RefOf(*header);
  return true;
}

MapRef CheckMap(lua_State* L, int index) {
  MapRef map{};
  if (!TestMap(L, index, &map)) vessa::TypeError(L, index, kTypeName);
  return map;
}

MapRef CheckPlane(lua_State* L, int index) {
  const MapRef map = CheckMap(L, index);
  if (map.depth != 1) {
    ArgumentError(L, index, "a map of depth 1 expected, got a volume of %d x %d x %d",
                  static_cast<int>(map.width), static_cast<int>(map.height),
                  static_cast<int>(map.depth));
  }
  return map;
}

void PushMapMethods(lua_State* L) {
  vessa::GetRegistryValue(L, &kMetatableKey);
  lua_getfield(L, -1, "__index");
  lua_remove(L, -2);
}

}  // namespace noisebind::maps
