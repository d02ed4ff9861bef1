// The `image` table of the script libraries, for writing PNG pictures of
// noise.
#ifndef NOISEBIND_IMAGE_IMAGE_H
#define NOISEBIND_IMAGE_IMAGE_H

struct lua_State;

namespace vessa {

// Stores the `image` table into the table at index 1 (the `noise` table).
int OpenImageLibrary(lua_State* L);

}  // namespace vessa

#endif  // NOISEBIND_IMAGE_IMAGE_H
