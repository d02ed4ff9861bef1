#include "entry/resolver.h"

namespace noisebind {

InterfaceResolver* g_resolver = nullptr;

}  // namespace noisebind
