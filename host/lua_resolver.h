// The host-wide resolver. A call's state resolves by itself (see
// InterfaceResolver); other states, such as the lua_State the load entry
// point is given, resolve to the interface bound to them here. Binding
// happens only under the ExtensionLock.
#ifndef VESSA_HOST_LUA_RESOLVER_H
#define VESSA_HOST_LUA_RESOLVER_H

#include "entry/host_interface.h"

namespace vessa {

using noisebind::InterfaceResolver;
using noisebind::ScriptInterface;
using noisebind::ScriptState;

class LuaResolver final : public InterfaceResolver {
 public:
  struct Binding {
    ScriptState* state;
    ScriptInterface* interface;
  };

  static LuaResolver& Instance() { return s_instance; }

  // Binds `interface` to `state`, and returns the binding it replaces.
  Binding Bind(ScriptState* state, ScriptInterface* interface) {
    const Binding previous{m_otherState, m_otherInterface};
    m_otherState = state;
    m_otherInterface = interface;
    return previous;
  }
  void Restore(const Binding& binding) {
    m_otherState = binding.state;
    m_otherInterface = binding.interface;
  }

 private:
  constexpr LuaResolver() = default;
  ScriptInterface& ResolveUnbound(ScriptState* state) override;

  ScriptState* m_otherState = nullptr;
  ScriptInterface* m_otherInterface = nullptr;

  static LuaResolver s_instance;
};

// Binds an interface to a state for the lifetime of the guard, also when an
// error unwinds through it.
class BoundInterface {
 public:
  BoundInterface(ScriptState* state, ScriptInterface* interface)
      : m_previous(LuaResolver::Instance().Bind(state, interface)) {}
  ~BoundInterface() { LuaResolver::Instance().Restore(m_previous); }
  BoundInterface(const BoundInterface&) = delete;
  BoundInterface& operator=(const BoundInterface&) = delete;

 private:
  LuaResolver::Binding m_previous;
};

}  // namespace vessa

#endif  // VESSA_HOST_LUA_RESOLVER_H
