#include "host/extension_open.h"

#include <libnoise/exception.h>

#include <new>
#include <stdexcept>

#include "host/extension_lock.h"
#include "host/lua_interface.h"
#include "host/lua_resolver.h"

namespace vessa {
namespace {

class LuaHostContext final : public noisebind::HostContext {
 public:
  explicit LuaHostContext(noisebind::ScriptState* state) : m_state(state) {}
  noisebind::ScriptState* GetState() override { return m_state; }
  noisebind::InterfaceResolver* GetResolver() override { return &LuaResolver::Instance(); }

 private:
  noisebind::ScriptState* m_state;
};

noisebind::ScriptState* StateOf(lua_State* L) {
  return reinterpret_cast<noisebind::ScriptState*>(L);
}

// Keeps the reason, unless there is no memory left even for that.
void Describe(std::string* error, const char* reason) {
  try {
    *error = reason;
  } catch (const std::bad_alloc&) {
    error->clear();
  }
}

}  // namespace

bool OpenExtension(lua_State* L, VessaOpenFunction open, StateServices* services, int* result,
                   std::string* error) {
  // The host's operations run the Lua API protected and throw, so that
  // failures unwind through the extension's frames as C++ exceptions.
  try {
    ExtensionLock::Scope lock;
    if (!lock.held()) {
      Describe(error,
               "the extension is opening on this thread already (a finalizer or metamethod run "
               "by that open)");
      return false;
    }
    LuaInterface registration(L, services);
    LuaHostContext context(StateOf(L));
    BoundInterface bound(StateOf(L), &registration);
    *result = open(&context);
    return true;
  } catch (const std::exception& failure) {
    Describe(error, failure.what());
  } catch (const noise::Exception&) {
    Describe(error, "the noise library failed");
  }
  return false;
}

int CloseExtension(lua_State* L, VessaCloseFunction close) {
  ExtensionLock::Scope lock;
  // Only a state's last finalizer closes, never inside a call of its own:
  // should one ever come while this thread is inside, it is not closed.
  if (!lock.held()) return -1;
  return close(StateOf(L));
}

}  // namespace vessa
