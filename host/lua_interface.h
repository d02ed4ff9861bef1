// The host interface implemented over the Lua C API.
#ifndef VESSA_HOST_LUA_INTERFACE_H
#define VESSA_HOST_LUA_INTERFACE_H

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "entry/host_interface.h"

struct lua_State;

namespace vessa {

using noisebind::ScriptFunction;
using noisebind::ScriptInterface;
using noisebind::TableHandle;

using ConsoleSink = std::function<void(const char* text)>;

class LuaTable;

// What the host keeps for each Lua state an extension was opened in: where
// console text goes, the table handles it gave out, the one closure made for
// each script function, and where each function was stored.
struct StateServices {
  explicit StateServices(ConsoleSink sink);
  ~StateServices();
  ConsoleSink console;
  std::vector<std::unique_ptr<LuaTable>> tables;
  // Registry references of the closures, so that a function stored under
  // two keys is one and the same Lua function.
  std::unordered_map<ScriptFunction, int> closures;
  // The path of each function under a global table, as "LibNoise.M_Perlin.Calc";
  // the first path a function was stored at.
  std::unordered_map<ScriptFunction, std::string> paths;
  // Every console message, in order, whether or not the sink shows it.
  std::vector<std::string> messages;
  // Called with the state when it closes, if set: the unload entry point of
  // an extension opened by the Lua module.
  int (*closeOnCollect)(noisebind::ScriptState*) = nullptr;
};

// Thrown by the host's own operations when the Lua state cannot do what was
// asked (memory ran out); the Lua error it stands for is popped.
struct LuaOperationFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Services that belong to the state: kept in its registry, found by
// ServicesOf, and destroyed when the state closes. Throws
// LuaOperationFailed, with nothing kept, when memory runs out.
StateServices* InstallServices(lua_State* L, ConsoleSink sink);
// The services installed in the state; null when there are none, or when
// the state is closing and they are gone.
StateServices* ServicesOf(lua_State* L);

// A table in the Lua registry, kept alive by a reference until the state
// closes. Its operations run protected and throw LuaOperationFailed.
class LuaTable final : public TableHandle {
 public:
  LuaTable(lua_State* L, int reference, StateServices* services, std::string path)
      : m_L(L), m_reference(reference), m_services(services), m_path(std::move(path)) {}
  void StoreFunction(const char* key, ScriptFunction function) override;
  void StoreNumber(const char* key, float value) override;
  void StoreTable(const char* key, TableHandle* table) override;
  void Push() const;

 private:
  // Records the paths of this table's functions and sub-tables once the
  // table has a path of its own.
  void Attach(const std::string& path);
  void RecordPath(const std::string& key, ScriptFunction function);

  lua_State* m_L;
  int m_reference;
  StateServices* m_services;
  std::string m_path;  // empty until the table is reachable from a global
  std::vector<std::pair<std::string, ScriptFunction>> m_functions;
  std::vector<std::pair<std::string, LuaTable*>> m_tables;
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

  bool hasError() const { return m_hasError; }

 protected:
  void OnCheckArgType(int index, int type) override;
  double OnArgAsNumber(int index) override;
  bool OnArgAsBool(int index) override;
  void OnReturnNumber(float value) override;
  void OnReturnBool(bool value) override;
  void OnReturnNil() override;
  TableHandle* Keep(int reference, std::string path);
  // The services of the state; throws LuaOperationFailed when it has none.
  StateServices& Services();

  lua_State* m_L;
  StateServices* m_services;
  bool m_hasError = false;
};

// Thrown by a failed argument check; caught where the call entered the host.
struct ArgumentError {
  int index;
  int type;
};

// The text of the error a call reports to its script: the first ScriptError
// of the call, or what a C++ exception said. One per thread, and only made
// when a call fails, so that calls that go well carry no string.
std::string& CallErrorText();

// Lua type of argument `index`, LUA_TNONE for any index that names no argument.
int ArgType(lua_State* L, int index);

// Name of a host type code in argument errors.
const char* TypeCodeName(int type);

// A script function as a Lua value: the function and the path it was
// stored at (empty when it was never stored under a global table).
struct ScriptFunctionInfo {
  ScriptFunction function;
  const std::string* path;
};

// When the value at `index` is a Lua function made for a script function of
// an extension opened in this state, fills `info` and returns true.
bool FindScriptFunction(lua_State* L, int index, ScriptFunctionInfo* info);

}  // namespace vessa

#endif  // VESSA_HOST_LUA_INTERFACE_H
