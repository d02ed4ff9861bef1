// One call of a script function from Lua, as every Lua function behind a
// stored script function makes it.
#ifndef VESSA_HOST_LUA_CALL_H
#define VESSA_HOST_LUA_CALL_H

#include <atomic>

#include "entry/host_interface.h"

struct lua_State;

namespace vessa {

// A script function and how many arguments to read for it before each call.
// The host cannot know what a function reads, so it learns: an argument
// asked for beyond those read up front is fetched from Lua, and read up
// front from the next call on. A count that is too high only costs reads.
// Calls on several threads may learn at once, hence the atomic count.
struct CallTarget {
  noisebind::ScriptFunction function;
  std::atomic<unsigned> arguments;
};

// Calls the target's function with the Lua function's arguments, holding
// the ExtensionLock, and returns its results to Lua; or raises a Lua error
// once nothing of the call is left alive. The running Lua function must
// carry the upvalues a stored script function is given.
int CallScriptFunction(lua_State* L, CallTarget& target);

}  // namespace vessa

#endif  // VESSA_HOST_LUA_CALL_H
