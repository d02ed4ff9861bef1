// Userdata of the script libraries (images, maps, noise objects): their
// common first words, large buffers that the collector sees, and a strict
// check of what a method is given as self.
// Everything here raises Lua errors, so call it only from Lua C functions
// with no C++ object alive in their frames.
#ifndef VESSA_HOST_LUA_USERDATA_H
#define VESSA_HOST_LUA_USERDATA_H

#include <cstddef>

struct lua_State;

namespace vessa {

// Every full userdata of ours starts with this: two pointer-sized zero
// words. Some hosts take any full userdata for a proxy of their own (LÖVE 11
// reads a type pointer, then an object pointer); finding null there, they
// refuse the value with their own error instead of following it.
struct UserdataGuard {
  const void* zero[2] = {nullptr, nullptr};
};

// Pushes a new full userdata of `size` bytes (with one user value) and
// returns its memory, uninitialised. Its bytes count for the collector, so a
// loop of temporaries of this kind runs in bounded memory. When memory runs
// out, collects fully and tries once more (LuaJIT and Lua 5.1 do not
// collect before they fail); returns null, with nothing pushed, if that
// fails too.
void* NewLargeUserdata(lua_State* L, std::size_t size);

// `size` bytes outside Lua's memory (for what may exceed the size of a
// userdata in LuaJIT, under 2 GiB), uninitialised, to be given back with
// FreeOutside. When memory runs out, collects fully and tries once more;
// null if that fails too. Store the block where a finalizer frees it before
// calling PaceCollector, which may raise a finalizer's error.
void* AllocateOutside(lua_State* L, std::size_t size);
void FreeOutside(void* memory);

// Makes the collector do the work `size` freshly allocated bytes are worth,
// so that temporaries are collected before many pile up: LuaJIT's own pace
// counts objects rather than bytes, and no Lua counts memory it did not
// allocate itself.
void PaceCollector(lua_State* L, std::size_t size);

// The longest string every Lua we run in makes (LuaJIT's limit, just below
// 2 GiB): longer bytes are refused alike everywhere, with our own message.
constexpr std::size_t kMaxStringBytes = 0x7fffff00;

// Makes bytes outside Lua's memory (from std::malloc) for a string: false
// on failure, with the reason in `reason`, and nothing to free.
using MakeBytes = bool (*)(const void* job, char** bytes, std::size_t* size, char* reason,
                           std::size_t reasonSize);

// Pushes the bytes `make` makes as a string and frees them, also when
// pushing them runs out of memory (that error is then raised, the bytes
// freed). False, with nothing pushed and the reason, when `make` fails.
bool PushMadeString(lua_State* L, MakeBytes make, const void* job, char* reason,
                    std::size_t reasonSize);

// The memory of the userdata at `index` when its metatable is the table at
// `metatable` (by identity) and it has at least `headerSize` bytes, with its
// size in `size`; else null. The caller then checks its header's tag and
// that `size` is what the header describes.
void* TestUserdata(lua_State* L, int index, int metatable, std::size_t headerSize,
                   std::size_t* size);

}  // namespace vessa

#endif  // VESSA_HOST_LUA_USERDATA_H
