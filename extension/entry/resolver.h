// The process-wide resolver through which every script function reaches its
// host. Empty until the load entry point stores the host's resolver.
#ifndef NOISEBIND_ENTRY_RESOLVER_H
#define NOISEBIND_ENTRY_RESOLVER_H

#include "entry/host_interface.h"

namespace noisebind {

extern InterfaceResolver* g_resolver;

// The interface of `state`, resolved afresh: call it for every operation.
inline ScriptInterface& Host(ScriptState* state) {
  return g_resolver->Resolve(state);
}

}  // namespace noisebind

#endif  // NOISEBIND_ENTRY_RESOLVER_H
