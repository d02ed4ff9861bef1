// The map userdata: width x height x depth doubles in one block of Lua's
// memory, where the garbage collector sees them, and the methods scripts
// call. A plane is a map of depth 1.
#ifndef NOISEBIND_MAPS_MAP_USERDATA_H
#define NOISEBIND_MAPS_MAP_USERDATA_H

#include <cstdint>

#include "engine/maps/map_values.h"

struct lua_State;

namespace noisebind::maps {

struct MapRef {
  std::uint32_t width;
  std::uint32_t height;
  double* values;
  std::uint32_t depth = 1;

  MapView view() const { return MapView{width, height, values, depth}; }
};

// Makes the map metatable of the state, once; call before any other
// function here.
void OpenMapType(lua_State* L);

// Pushes a new map of an allowed size (MapSizeAllowed), its values unset.
// Raises a Lua error when memory runs out.
MapRef PushNewMap(lua_State* L, std::uint32_t width, std::uint32_t height, std::uint32_t depth = 1);

// The map at `index`; false when the value there is no map.
bool TestMap(lua_State* L, int index, MapRef* map);

// The map at `index`, or raises "map expected, got <type>".
MapRef CheckMap(lua_State* L, int index);

// The map at `index` when its depth is 1, for what only a plane can be
// (pictures); raises an argument error for a volume.
MapRef CheckPlane(lua_State* L, int index);

// Pushes the table of map methods, for other libraries to add to.
void PushMapMethods(lua_State* L);

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_MAP_USERDATA_H
