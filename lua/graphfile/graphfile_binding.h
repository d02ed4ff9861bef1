// Graph files in Lua: noise.encode, noise.decode and noise.classes, and the
// file functions noise.savegraph and noise.loadgraph (left out of
// `noisebind.safe`). See docs/graph-files.md.
#ifndef NOISEBIND_OBJECTS_GRAPHFILE_BINDING_H
#define NOISEBIND_OBJECTS_GRAPHFILE_BINDING_H

struct lua_State;

namespace noisebind::objects {

// Stores the functions into the table at index 1 (the `noise` table), in
// which the noise objects' constructors are already.
int OpenGraphFileLibrary(lua_State* L);

// The names of the functions above that open files, ending with null.
extern const char* const kGraphFileFunctions[];

}  // namespace noisebind::objects

#endif  // NOISEBIND_OBJECTS_GRAPHFILE_BINDING_H
