// The rendering functions of the `noise` table, and the heightmap methods
// of maps.
#ifndef NOISEBIND_RENDER_RENDER_H
#define NOISEBIND_RENDER_RENDER_H

struct lua_State;

namespace noisebind::render {

// Stores render and normalmap into the table at index 1 (the `noise`
// table), and savepng and saveraw among the map methods. The maps library
// must be open.
int OpenRenderLibrary(lua_State* L);

}  // namespace noisebind::render

#endif  // NOISEBIND_RENDER_RENDER_H
