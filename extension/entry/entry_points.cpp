// The two functions the host looks up after loading the library.
#include "entry/entry_points.h"

#include "entry/registration.h"
#include "entry/resolver.h"

extern "C" NOISEBIND_EXPORT int vessa_open(noisebind::HostContext* context) {
  noisebind::g_resolver = context->GetResolver();
  noisebind::ScriptState* state = context->GetState();
  return noisebind::ExtensionInit(state);
}

// Nothing to release: the shared instances live until the library unloads.
extern "C" NOISEBIND_EXPORT int vessa_close(noisebind::ScriptState* /*state*/) {
  return 0;
}
