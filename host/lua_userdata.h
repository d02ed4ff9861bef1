// Userdata of the script libraries (images, maps): large buffers that the
// collector sees, and a strict check of what a method is given as self.
// Everything here raises Lua errors, so call it only from Lua C functions
// with no C++ object alive in their frames.
#ifndef VESSA_HOST_LUA_USERDATA_H
#define VESSA_HOST_LUA_USERDATA_H

#include <cstddef>

struct lua_State;

namespace vessa {

// Pushes a new full userdata of `size` bytes (with one user value) and
// returns its memory, uninitialised. Its bytes count for the collector, so a
// loop of temporaries of this kind runs in bounded memory. When memory runs
// out, collects fully and tries once more (LuaJIT and Lua 5.1 do not
// collect before they fail); returns null, with nothing pushed, if that
// fails too.
void* NewLargeUserdata(lua_State* L, std::size_t size);

// The memory of the userdata at `index` when its metatable is the table at
// `metatable` (by identity) and it has at least `headerSize` bytes, with its
// size in `size`; else null. The caller then checks its header's tag and
// that `size` is what the header describes.
void* TestUserdata(lua_State* L, int index, int metatable, std::size_t headerSize,
                   std::size_t* size);

}  // namespace vessa

#endif  // VESSA_HOST_LUA_USERDATA_H
