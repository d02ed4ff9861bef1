// Argument checks shared by the script libraries (image, noise objects,
// maps): each raises Lua's usual argument error, so none may be called
// while a C++ object with a destructor is alive in the calling frames.
#ifndef VESSA_HOST_LUA_ARGS_H
#define VESSA_HOST_LUA_ARGS_H

struct lua_State;

namespace vessa {

// Raises "bad argument #index to 'f' (expected expected, got <type>)".
[[noreturn]] void TypeError(lua_State* L, int index, const char* expected);

// The string at `index` as a file path; raises an argument error for a path
// with a NUL byte in it, which the system would silently cut short.
const char* CheckPath(lua_State* L, int index);

}  // namespace vessa

#endif  // VESSA_HOST_LUA_ARGS_H
