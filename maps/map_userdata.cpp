#include "maps/map_userdata.h"

#include <lua.hpp>

#include "host/lua_args.h"
#include "host/lua_compat.h"
#include "maps/map_args.h"

namespace noisebind::maps {
namespace {

constexpr char kTypeName[] = "map";
const char kMetatableKey = 0;

// The values follow the header in the same userdata.
struct MapHeader {
  std::uint32_t width;
  std::uint32_t height;
};
static_assert(sizeof(MapHeader) % alignof(double) == 0, "values must be aligned");

std::size_t MapBytes(std::uint32_t width, std::uint32_t height) {
  return sizeof(MapHeader) + std::size_t{width} * height * sizeof(double);
}

MapRef RefOf(void* data) {
  auto* header = static_cast<MapHeader*>(data);
  auto* values = reinterpret_cast<double*>(static_cast<unsigned char*>(data) + sizeof(MapHeader));
  return MapRef{header->width, header->height, values};
}

// A coordinate from 0 to size - 1; NaN fails the range test.
std::uint32_t CheckCoordinate(lua_State* L, int index, std::uint32_t size, const char* axis) {
  return CheckCount(L, index, 0, size - 1.0, axis);
}

// m:get(x, y): the value at column x, row y.
int Get(lua_State* L) {
  const MapRef map = CheckMap(L, 1);
  const std::uint32_t x = CheckCoordinate(L, 2, map.width, "x");
  const std::uint32_t y = CheckCoordinate(L, 3, map.height, "y");
  lua_pushnumber(L, map.view().at(x, y));
  return 1;
}

// m:set(x, y, value): changes one value; NaN and infinities are kept as given.
int Set(lua_State* L) {
  const MapRef map = CheckMap(L, 1);
  const std::uint32_t x = CheckCoordinate(L, 2, map.width, "x");
  const std::uint32_t y = CheckCoordinate(L, 3, map.height, "y");
  const double value = vessa::CheckNumber(L, 4);
  map.values[std::size_t{y} * map.width + x] = value;
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

// m:flat([t]): the values into t[1] .. t[width * height], row after row;
// a new table when t is nil. Gives t.
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

int ToString(lua_State* L) {
  const MapRef map = CheckMap(L, 1);
  lua_pushfstring(L, "map (%d x %d)", static_cast<int>(map.width), static_cast<int>(map.height));
  return 1;
}

const luaL_Reg kMethods[] = {
    {"width", Width},
    {"height", Height},
    {"get", Get},
    {"set", Set},
    {"range", Range},
    {"flat", Flat},
    {"rescale", RescaleMethod},
    {"clamp", ClampMethod},
    {nullptr, nullptr},
};

const luaL_Reg kMetamethods[] = {
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

MapRef PushNewMap(lua_State* L, std::uint32_t width, std::uint32_t height) {
  void* data = vessa::NewUserdata(L, MapBytes(width, height));
  *static_cast<MapHeader*>(data) = MapHeader{width, height};
  vessa::GetRegistryValue(L, &kMetatableKey);
  lua_setmetatable(L, -2);
  return RefOf(data);
}

bool TestMap(lua_State* L, int index, MapRef* map) {
  void* data = lua_touserdata(L, index);
  if (data == nullptr || lua_islightuserdata(L, index) || !lua_getmetatable(L, index)) return false;
  vessa::GetRegistryValue(L, &kMetatableKey);
  const bool same = lua_rawequal(L, -1, -2) != 0;
  lua_pop(L, 2);
  if (!same || vessa::RawLength(L, index) < sizeof(MapHeader)) return false;
  const MapRef ref = RefOf(data);
  if (vessa::RawLength(L, index) != MapBytes(ref.width, ref.height)) return false;
  *map = ref;
  return true;
}

MapRef CheckMap(lua_State* L, int index) {
  MapRef map{};
  if (!TestMap(L, index, &map)) vessa::TypeError(L, index, kTypeName);
  return map;
}

void PushMapMethods(lua_State* L) {
  vessa::GetRegistryValue(L, &kMetatableKey);
  lua_getfield(L, -1, "__index");
  lua_remove(L, -2);
}

}  // namespace noisebind::maps
