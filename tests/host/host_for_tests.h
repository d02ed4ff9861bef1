// What test script functions use to reach the Lua-backed host.
#ifndef VESSA_TESTS_HOST_FOR_TESTS_H
#define VESSA_TESTS_HOST_FOR_TESTS_H

#include "host/lua_interface.h"
#include "host/lua_resolver.h"

namespace vessa::testing {

using noisebind::kTypeBoolean;
using noisebind::kTypeNumber;
using noisebind::ScriptState;

// The interface of `state`, as the extension's functions resolve it.
inline ScriptInterface& Host(ScriptState* state) {
  return LuaResolver::Instance().Resolve(state);
}

}  // namespace vessa::testing

#endif  // VESSA_TESTS_HOST_FOR_TESTS_H
