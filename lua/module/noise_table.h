// The `noise` table: what `require "noisebind"` returns, and vessa's global
// `noise`. It holds the LibNoise table the extension published and every
// script library of the project.
#ifndef NOISEBIND_MODULE_NOISE_TABLE_H
#define NOISEBIND_MODULE_NOISE_TABLE_H

struct lua_State;

namespace noisebind::module {

// Pushes a new `noise` table for the state, in which the extension has been
// opened already (the table takes the global LibNoise). A lua_CFunction:
// raises Lua errors, so call it with lua_call or lua_pcall.
int OpenNoiseTable(lua_State* L);

}  // namespace noisebind::module

#endif  // NOISEBIND_MODULE_NOISE_TABLE_H
