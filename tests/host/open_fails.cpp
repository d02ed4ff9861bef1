// An extension whose load entry point reports failure, for vessa's refusal.
#include "entry/entry_points.h"

extern "C" int vessa_open(noisebind::HostContext*) {
  return 7;
}

extern "C" int vessa_close(noisebind::ScriptState*) {
  return 0;
}
