// Lua C functions that reach their script function without looking anything
// up in Lua: each of a fixed set of trampolines calls the target (function
// and learned argument count) in its own slot, a load where an upvalue read
// costs a walk through the Lua API.
#ifndef VESSA_HOST_LUA_TRAMPOLINES_H
#define VESSA_HOST_LUA_TRAMPOLINES_H

#include <lua.hpp>

#include "entry/host_interface.h"

namespace vessa {

// The trampoline that calls `function` through CallScriptFunction, the same
// one for every state and every key; null once every slot holds some other
// function. Slots are never given back: a function's address keeps its slot,
// and what was learned about it, for the life of the process, whichever
// library lies there; a count learned too high only costs reads.
// Called only under the ExtensionLock.
lua_CFunction TrampolineFor(noisebind::ScriptFunction function);

// True when `function` is one of the trampolines.
bool IsTrampoline(lua_CFunction function);

}  // namespace vessa

#endif  // VESSA_HOST_LUA_TRAMPOLINES_H
