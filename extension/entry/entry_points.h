// Entry points of the extension library, as the host calls them.
#ifndef NOISEBIND_ENTRY_ENTRY_POINTS_H
#define NOISEBIND_ENTRY_ENTRY_POINTS_H

#include "entry/host_interface.h"

#define NOISEBIND_EXPORT __attribute__((visibility("default")))

extern "C" {
// Stores the host's resolver and publishes the LibNoise table; returns 0.
NOISEBIND_EXPORT int vessa_open(noisebind::HostContext* context);
// Does nothing; returns 0.
NOISEBIND_EXPORT int vessa_close(noisebind::ScriptState* state);

using VessaOpenFunction = int (*)(noisebind::HostContext*);
using VessaCloseFunction = int (*)(noisebind::ScriptState*);
}

#endif  // NOISEBIND_ENTRY_ENTRY_POINTS_H
