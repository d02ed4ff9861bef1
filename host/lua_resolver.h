// The host-wide resolver: the interface of the call in progress is bound
// while the call runs, so resolving it costs a comparison.
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

  // Inline, and constant-initialised: binding a call costs no function call.
  static LuaResolver& Instance() { return s_instance; }

  // Binds the interface of a call, whose state is StateOf(interface); returns
  // the call binding it replaces.
  const void* BindCall(ScriptInterface* interface) {
    const void* const previous = m_boundState;
    m_boundState = StateOf(interface);
    return previous;
  }
  void RestoreCall(const void* previous) { m_boundState = previous; }

  // Binds `interface` to a state of another kind, such as the lua_State the
  // load entry point is given, and returns the binding it replaces. Such a
  // state resolves through ResolveUnbound.
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

// Binds the interface of a call in progress, the same way.
class BoundCall {
 public:
  explicit BoundCall(ScriptInterface* interface)
      : m_previous(LuaResolver::Instance().BindCall(interface)) {}
  ~BoundCall() { LuaResolver::Instance().RestoreCall(m_previous); }
  BoundCall(const BoundCall&) = delete;
  BoundCall& operator=(const BoundCall&) = delete;

 private:
  const void* m_previous;
};

}  // namespace vessa

#endif  // VESSA_HOST_LUA_RESOLVER_H
