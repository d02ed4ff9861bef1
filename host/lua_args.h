// Argument checks shared by the script libraries (image, noise objects,
// maps): each raises Lua's usual argument error, so none may be called
// while a C++ object with a destructor is alive in the calling frames.
//
// Errors name the function as Lua does, from the call site; where the call
// site gives no name (under pcall, in a tail call) they use the name the
// function was stored under (NameFunctions), and count the arguments of a
// method without its self, as Lua does for a call with ':'.
#ifndef VESSA_HOST_LUA_ARGS_H
#define VESSA_HOST_LUA_ARGS_H

#include <cstddef>

struct lua_State;

namespace vessa {

// Raises "bad argument #index to 'f' (message)", or "calling 'f' on bad
// self (message)" for the self of a method.
[[noreturn]] void ArgError(lua_State* L, int index, const char* message);

// Raises "bad argument #index to 'f' (expected expected, got <type>)".
[[noreturn]] void TypeError(lua_State* L, int index, const char* expected);

// Argument `index` as a number, as Lua's own functions take it (numeric
// strings convert).
double CheckNumber(lua_State* L, int index);

// Raises unless argument `index` has the Lua type `type` (LUA_TTABLE, ...).
void CheckType(lua_State* L, int index, int type);

// Argument `index` as a string (numbers convert, in place, as Lua's do).
const char* CheckString(lua_State* L, int index, std::size_t* length);

// The string at `index` as a file path; raises an argument error for a path
// with a NUL byte in it, which the system would silently cut short.
const char* CheckPath(lua_State* L, int index);

// Records every C function of the table at `table` under its string key,
// for errors raised where the call site gives no name; `methods`: they are
// called with ':' (self is not counted).
void NameFunctions(lua_State* L, int table, bool methods);

// Settings and options are the own entries of a table, read raw (RawField),
// so that the names checked are the names read: a table whose metatable
// has __index is refused, naming argument `argument`.
void CheckOwnEntries(lua_State* L, int table, int argument, const char* what);
// Pushes table[name], raw.
void RawField(lua_State* L, int table, const char* name);

}  // namespace vessa

#endif  // VESSA_HOST_LUA_ARGS_H
