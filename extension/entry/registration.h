// Publication of the LibNoise table in a script state.
#ifndef NOISEBIND_ENTRY_REGISTRATION_H
#define NOISEBIND_ENTRY_REGISTRATION_H

#include "entry/host_interface.h"

namespace noisebind {

// Creates the global LibNoise table with every function, sub-table and
// constant, printing one line per group on the host console. Returns 0.
int ExtensionInit(ScriptState* state);

}  // namespace noisebind

#endif  // NOISEBIND_ENTRY_REGISTRATION_H
