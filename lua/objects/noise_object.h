// Noise objects for Lua: every libnoise module class as a constructor in the
// `noise` table (noise.Perlin, noise.Add, ...), each object a userdata that
// owns one graph node. See the README's section on noise objects.
#ifndef NOISEBIND_OBJECTS_NOISE_OBJECT_H
#define NOISEBIND_OBJECTS_NOISE_OBJECT_H

#include "engine/graph/node.h"

struct lua_State;

namespace noisebind::objects {

// The node of the noise object at `index`, or null when the value there is
// not a noise object (or is one whose node is gone: only seen by finalizers
// at the end of a state). Raises no error and leaves the stack as it was.
// The node stays valid while the object is reachable from Lua; evaluate it
// only once node->Evaluable() said yes and while no script changes the graph.
const Node* TestNoiseObject(lua_State* L, int index);

// Stores the constructors into the table at index 1 (the `noise` table). The
// classes' metatables are made once per state.
int OpenObjectsLibrary(lua_State* L);

}  // namespace noisebind::objects

#endif  // NOISEBIND_OBJECTS_NOISE_OBJECT_H
