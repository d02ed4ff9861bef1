// Calls of script functions made outside Lua, with numbers for arguments:
// the way work that evaluates an extension at many points (a map) reaches
// it, on any thread. Whoever starts such work holds the ExtensionLock for
// all of it; each thread makes its calls through a DirectCall of its own.
#ifndef VESSA_HOST_DIRECT_CALL_H
#define VESSA_HOST_DIRECT_CALL_H

#include <string>

#include "entry/host_interface.h"

namespace vessa {

class DirectCall final : public noisebind::ScriptInterface {
 public:
  static constexpr unsigned kMaxArgs = kMaxPreparedArgs;

  DirectCall() = default;

  // Calls `function` with the numbers `args[0]` to `args[count - 1]`
  // (count at most kMaxArgs). True when it returned exactly one number,
  // stored in `*value`; otherwise false, with the reason in error().
  bool Call(noisebind::ScriptFunction function, const double* args, unsigned count, float* value);

  // Why the last call failed: the extension's own error text, or what was
  // wrong, as "bad argument #2 (number expected, got no value)".
  const std::string& error() const { return m_error; }

  void ScriptError(const char* text) override;
  void ConsoleMessage(const char* text) override;
  void CreateGlobalTable(const char* name) override;
  noisebind::TableHandle* LookupGlobalTable(const char* name) override;
  noisebind::TableHandle* CreateTable() override;

 private:
  bool Fail(const std::string& reason);
  void OnCheckArgType(int index, int type) override;
  double OnArgAsNumber(int index) override;
  bool OnArgAsBool(int index) override;
  void OnReturnNumber(float value) override;
  void OnReturnBool(bool value) override;
  void OnReturnNil() override;

  bool m_hasError = false;
  bool m_tooManyResults = false;
  std::string m_error;
};

}  // namespace vessa

#endif  // VESSA_HOST_DIRECT_CALL_H
