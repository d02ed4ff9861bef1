// The host interface implemented over the Lua C API.
#ifndef VESSA_HOST_LUA_INTERFACE_H
#define VESSA_HOST_LUA_INTERFACE_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "entry/host_interface.h"

struct lua_State;

namespace vessa {

using noisebind::ScriptFunction;
using noisebind::ScriptInterface;
using noisebind::TableHandle;

using ConsoleSink = std::function<void(const char* text)>;

class LuaTable;

// What the host keeps for each Lua state: where console text goes, the
// table handles it gave out (released when the state is closed), and the
// text of an error on its way to the script. The texts live here rather than
// in each call, so that a call that raises none has no string to make.
struct StateServices {
  explicit StateServices(ConsoleSink sink);
  ~StateServices();
  ConsoleSink console;
  std::vector<std::unique_ptr<LuaTable>> tables;
  std::string scriptError;    // the first ScriptError of the latest call that had one
  std::string failureDetail;  // what() of the latest std::exception a call threw
};

// A table in the Lua registry, kept alive by a reference until the state closes.
class LuaTable final : public TableHandle {
 public:
  LuaTable(lua_State* L, int reference, StateServices* services)
      : m_L(L), m_reference(reference), m_services(services) {}
  void StoreFunction(const char* key, ScriptFunction function) override;
  void StoreNumber(const char* key, float value) override;
  void StoreTable(const char* key, TableHandle* table) override;
  void Push() const;

 private:
  lua_State* m_L;
  int m_reference;
  StateServices* m_services;
};

// The operations on one Lua state outside any call, as the load entry point
// uses them. Argument reads go to the Lua stack as it stands.
class LuaInterface : public ScriptInterface {
 public:
  LuaInterface(lua_State* L, StateServices* services) : m_L(L), m_services(services) {}

  void ScriptError(const char* text) override;
  void ConsoleMessage(const char* text) override;
  void CreateGlobalTable(const char* name) override;
  TableHandle* LookupGlobalTable(const char* name) override;
  TableHandle* CreateTable() override;

 protected:
  void OnCheckArgType(int index, int type) override;
  double OnArgAsNumber(int index) override;
  bool OnArgAsBool(int index) override;
  void OnReturnNumber(float value) override;
  void OnReturnBool(bool value) override;
  void OnReturnNil() override;
  virtual StateServices& Services();
  TableHandle* Keep(int reference);

  lua_State* m_L;
  StateServices* m_services;
  bool m_hasError = false;
};

// Thrown by a failed argument check; caught where the call entered the host.
struct ArgumentError {
  int index;
  int type;
};

// Lua type of argument `index`, LUA_TNONE for any index that names no argument.
int ArgType(lua_State* L, int index);

// Pushes a Lua function that calls `function` under the name `key`.
void PushScriptFunction(lua_State* L, const char* key, ScriptFunction function,
                        StateServices* services);

// Name of a host type code in argument errors.
const char* TypeCodeName(int type);

}  // namespace vessa

#endif  // VESSA_HOST_LUA_INTERFACE_H
