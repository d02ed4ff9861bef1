// The host library's shortest way in, for programs that make their own Lua
// state: one call loads an extension file and opens it in that state.
#ifndef VESSA_HOST_EMBED_H
#define VESSA_HOST_EMBED_H

#include <string>

#include "host/lua_interface.h"

struct lua_State;

namespace vessa {

// Loads the extension file at `path` with the system's loader and opens it
// in `L`, as vessa does: its global tables appear (LibNoise for noisebind.so).
// Its console messages go to `console` (kept but not shown when it is
// empty: the `noise` table's messages() gives them). The extension is closed
// for the state when the state closes; the file stays loaded for the life of
// the process, so that every state shares its instances and settings, as
// vessa's states do. False, with the reason in
// `error`, when the file cannot be loaded, the state has an extension open
// already, or opening it failed. Never raises a Lua error.
bool OpenExtensionFile(lua_State* L, const std::string& path, ConsoleSink console,
                       std::string* error);

// Publishes the `noise` table (LibNoise and every script library of this
// host library) as the global `noise`, and makes `require "noisebind"` give
// it. Call after OpenExtensionFile. False, with Lua's message in `error`,
// when the state ran out of memory. Never raises a Lua error.
bool PublishNoiseTable(lua_State* L, std::string* error);

}  // namespace vessa

#endif  // VESSA_HOST_EMBED_H
