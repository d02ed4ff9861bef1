// Opening an extension in a Lua state and closing it again, under the
// ExtensionLock: how vessa, programs built on the host library and the Lua
// module all do it.
#ifndef VESSA_HOST_EXTENSION_OPEN_H
#define VESSA_HOST_EXTENSION_OPEN_H

#include <string>

#include "entry/entry_points.h"

struct lua_State;

namespace vessa {

struct StateServices;

// Calls the load entry point for the state, with `services` for its tables
// and console. False, with the reason in `error`, when it failed (a Lua
// state out of memory, an exception); `result` gets what it returned.
// Never raises a Lua error.
bool OpenExtension(lua_State* L, VessaOpenFunction open, StateServices* services, int* result,
                   std::string* error);

// Calls the unload entry point for the state.
int CloseExtension(lua_State* L, VessaCloseFunction close);

}  // namespace vessa

#endif  // VESSA_HOST_EXTENSION_OPEN_H
