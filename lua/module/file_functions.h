// The functions of the `noise` table that open files, and their removal for
// `require "noisebind.safe"`.
#ifndef NOISEBIND_MODULE_FILE_FUNCTIONS_H
#define NOISEBIND_MODULE_FILE_FUNCTIONS_H

struct lua_State;

namespace noisebind::module {

// Removes every function that opens a file: noise.savegraph and
// noise.loadgraph from the `noise` table, img:save, m:savepng and m:saveraw
// from the state's image and map methods, for every table of the state.
// Takes the `noise` table at index 1. A lua_CFunction: raises Lua errors,
// so call it with lua_call or lua_pcall.
int RemoveFileFunctions(lua_State* L);

}  // namespace noisebind::module

#endif  // NOISEBIND_MODULE_FILE_FUNCTIONS_H
