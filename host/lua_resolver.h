// The host-wide resolver: the interface of the call in progress is bound to
// its state while the call runs, so resolving it costs a comparison.
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

  static LuaResolver& Instance();

  // Binds `interface` to `state` and returns the binding it replaces.
  Binding Bind(ScriptState* state, ScriptInterface* interface) {
    const Binding previous{m_boundState, m_bound};
    m_boundState = state;
    m_bound = interface;
    return previous;
  }
  void Restore(const Binding& binding) {
    m_boundState = binding.state;
    m_bound = binding.interface;
  }

 private:
  LuaResolver() = default;
  ScriptInterface& ResolveUnbound(ScriptState* state) override;
};

// Binds an interface for the lifetime of the guard, also when a Lua error
// unwinds through it.
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
