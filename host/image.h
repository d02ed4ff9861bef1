// The image facility vessa gives scripts: a global `image` table for
// writing PNG pictures of noise.
#ifndef VESSA_HOST_IMAGE_H
#define VESSA_HOST_IMAGE_H

struct lua_State;

namespace vessa {

// Publishes the global `image` table in the state.
void OpenImageLibrary(lua_State* L);

}  // namespace vessa

#endif  // VESSA_HOST_IMAGE_H
