// The map builders, the grid and the map type of the `noise` table.
#ifndef NOISEBIND_MAPS_MAPS_H
#define NOISEBIND_MAPS_MAPS_H

struct lua_State;

namespace noisebind::maps {

// Stores planemap, spheremap, cylindermap and grid into the table at index
// 1 (the `noise` table).
int OpenMapsLibrary(lua_State* L);

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_MAPS_H
