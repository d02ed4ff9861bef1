// The host application's scripting interface, as both sides see it.
//
// The host hands the extension a HostContext at load. Every script function
// receives only a ScriptState and asks the InterfaceResolver for that state's
// ScriptInterface before each operation. The frequent per-call operations
// (argument checks and reads, pushing results) have inline fast paths over
// data the host prepares once per call; everything else, and every case the
// prepared data does not cover, goes through virtual functions the host
// implements. A host that prepares nothing (a test double, say) sees every
// operation through its virtual functions.
#ifndef NOISEBIND_ENTRY_HOST_INTERFACE_H
#define NOISEBIND_ENTRY_HOST_INTERFACE_H

#include <cstdint>

namespace noisebind {

// Type codes understood by ScriptInterface::CheckArgType.
constexpr int kTypeNumber = 2;
constexpr int kTypeBoolean = 4;

// Opaque handle of one script state; only the host knows what it points to.
// (While a call runs, the host may hand it a state of its own: see
// InterfaceResolver.)
class ScriptState;

// A script function: reads its arguments and pushes its results through the
// state's interface, and returns how many results it pushed.
using ScriptFunction = int (*)(ScriptState* state);

// A table living in the host. Handles are owned by the host; the extension
// never releases them.
class TableHandle {
 public:
  virtual void StoreFunction(const char* key, ScriptFunction function) = 0;
  virtual void StoreNumber(const char* key, float value) = 0;
  virtual void StoreTable(const char* key, TableHandle* table) = 0;

 protected:
  ~TableHandle() = default;
};

class ScriptInterface {
 public:
  // Refuses the call (the function does not go on) unless argument `index`
  // (1-based) has type `type`.
  void CheckArgType(int index, int type) {
    const unsigned slot = static_cast<unsigned>(index) - 1u;
    if (IsPrepared(slot) && m_preparedArgs[slot].type == type) return;
    Unprepared()->OnCheckArgType(index, type);
  }

  double ArgAsNumber(int index) {
    const unsigned slot = static_cast<unsigned>(index) - 1u;
    if (IsPrepared(slot)) return m_preparedArgs[slot].number;
    return Unprepared()->OnArgAsNumber(index);
  }

  bool ArgAsBool(int index) {
    const unsigned slot = static_cast<unsigned>(index) - 1u;
    if (IsPrepared(slot)) return m_preparedArgs[slot].truth;
    return Unprepared()->OnArgAsBool(index);
  }

  void ReturnNumber(float value) {
    if (m_resultCount < m_resultCapacity) {
      m_results[m_resultCount++] = Result{Result::kNumber, value};
      return;
    }
    Unprepared()->OnReturnNumber(value);
  }

  void ReturnBool(bool value) {
    if (m_resultCount < m_resultCapacity) {
      m_results[m_resultCount++] = Result{value ? Result::kTrue : Result::kFalse, 0.0f};
      return;
    }
    Unprepared()->OnReturnBool(value);
  }

  void ReturnNil() {
    if (m_resultCount < m_resultCapacity) {
      m_results[m_resultCount++] = Result{Result::kNil, 0.0f};
      return;
    }
    Unprepared()->OnReturnNil();
  }

  // Reports an error to the script. The calling function carries on; what the
  // script sees happens once the function has returned.
  virtual void ScriptError(const char* text) = 0;
  virtual void ConsoleMessage(const char* text) = 0;
  virtual void CreateGlobalTable(const char* name) = 0;
  // Null when there is no table of that name.
  virtual TableHandle* LookupGlobalTable(const char* name) = 0;
  // A new table not stored anywhere yet; null when none can be made.
  virtual TableHandle* CreateTable() = 0;

  // What the host prepares for each call.
  static constexpr unsigned kMaxPreparedArgs = 8;
  static constexpr unsigned kMaxResults = 4;
  struct PreparedArg {
    int type;  // kTypeNumber, kTypeBoolean, or anything else for other types
    bool truth;
    double number;
  };
  struct Result {
    enum Kind : int { kNumber, kTrue, kFalse, kNil };
    Kind kind;
    float number;
  };

 protected:
  ScriptInterface() = default;
  ~ScriptInterface() = default;
  ScriptInterface(const ScriptInterface&) = delete;
  ScriptInterface& operator=(const ScriptInterface&) = delete;

  // The way to the virtual functions, for what the host did not prepare. Cold,
  // so that the compiler lays every fast path out straight and keeps the
  // calls out of the way.
  [[gnu::cold]] ScriptInterface* Unprepared() { return this; }

  // The first test folds away for the constant indices script functions use.
  bool IsPrepared(unsigned slot) const {
    return slot < kMaxPreparedArgs && slot < m_preparedArgCount;
  }

  virtual void OnCheckArgType(int index, int type) = 0;
  virtual double OnArgAsNumber(int index) = 0;
  virtual bool OnArgAsBool(int index) = 0;
  virtual void OnReturnNumber(float value) = 0;
  virtual void OnReturnBool(bool value) = 0;
  virtual void OnReturnNil() = 0;

  // Arguments 1 to m_preparedArgCount, as the host read them before the call.
  // Only the prepared entries are ever read, so the arrays stay uninitialised:
  // clearing them would cost more than the call itself.
  unsigned m_preparedArgCount = 0;
  PreparedArg m_preparedArgs[kMaxPreparedArgs];
  // Results pushed so far; the host hands them to the script after the call.
  unsigned m_resultCount = 0;
  unsigned m_resultCapacity = 0;
  Result m_results[kMaxResults];
};

// Host-wide: gives each state's interface. The state a host hands a call is
// the address of the call's own interface with its lowest bit set (StateOf),
// which no state of any other kind has: resolving it is a test of that bit,
// reads nothing shared, and so serves calls on any number of threads at once.
// Any other state goes to the host through ResolveUnbound.
class InterfaceResolver {
 public:
  ScriptInterface& Resolve(ScriptState* state) {
    const std::uintptr_t bits = reinterpret_cast<std::uintptr_t>(state);
    if (bits & kCallTag) return *reinterpret_cast<ScriptInterface*>(bits - kCallTag);
    return Unbound()->ResolveUnbound(state);
  }

  // The state a host hands a call whose interface is `interface`.
  static ScriptState* StateOf(ScriptInterface* interface) {
    return reinterpret_cast<ScriptState*>(reinterpret_cast<std::uintptr_t>(interface) | kCallTag);
  }

 protected:
  InterfaceResolver() = default;
  ~InterfaceResolver() = default;
  InterfaceResolver(const InterfaceResolver&) = delete;
  InterfaceResolver& operator=(const InterfaceResolver&) = delete;

  virtual ScriptInterface& ResolveUnbound(ScriptState* state) = 0;
  // Cold: see ScriptInterface::Unprepared.
  [[gnu::cold]] InterfaceResolver* Unbound() { return this; }

 private:
  // Interfaces are aligned, so their addresses have this bit clear.
  static constexpr std::uintptr_t kCallTag = 1;
  static_assert(alignof(ScriptInterface) > kCallTag, "call states need a free low bit");
};

// Handed to the load entry point.
class HostContext {
 public:
  virtual ScriptState* GetState() = 0;
  virtual InterfaceResolver* GetResolver() = 0;

 protected:
  ~HostContext() = default;
};

}  // namespace noisebind

#endif  // NOISEBIND_ENTRY_HOST_INTERFACE_H
