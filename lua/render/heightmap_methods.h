// The map methods that turn values into heightmaps: m:savepng, m:saveraw,
// m:bytes and m:encodepng.
#ifndef NOISEBIND_RENDER_HEIGHTMAP_METHODS_H
#define NOISEBIND_RENDER_HEIGHTMAP_METHODS_H

struct lua_State;

namespace noisebind::render {

// Stores the methods into the table on top of the stack (the map methods).
void AddHeightmapMethods(lua_State* L);

}  // namespace noisebind::render

#endif  // NOISEBIND_RENDER_HEIGHTMAP_METHODS_H
