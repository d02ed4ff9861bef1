// The `image` table of the script libraries, for writing PNG pictures of
// noise.
#ifndef NOISEBIND_IMAGE_IMAGE_H
#define NOISEBIND_IMAGE_IMAGE_H

struct lua_State;

namespace noisebind::image {

struct ImageBuffer;

// Stores the `image` table into the table at index 1 (the `noise` table).
int OpenImageLibrary(lua_State* L);

// The pixels of the image at `index`, for other libraries that draw into
// images; null when the value there is no image.
ImageBuffer* TestImage(lua_State* L, int index);

}  // namespace noisebind::image

#endif  // NOISEBIND_IMAGE_IMAGE_H
