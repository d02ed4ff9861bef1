#include "host/lua_interface.h"

#include <new>
#include <utility>

#include "host/extension_open.h"
#include "host/lua_call.h"
#include "host/lua_compat.h"
#include "host/lua_trampolines.h"

namespace vessa {
namespace {

using noisebind::kTypeBoolean;
using noisebind::kTypeNumber;

// Type code of every Lua type the extension does not know.
constexpr int kTypeOther = -1;

int TypeCodeOf(lua_State* L, int index) {
  switch (ArgType(L, index)) {
    case LUA_TNUMBER:
      return kTypeNumber;
    case LUA_TBOOLEAN:
      return kTypeBoolean;
    default:
      return kTypeOther;
  }
}

// The Lua function behind a stored script function when no trampoline is
// left: it finds its target in its first upvalue.
int CallThroughUpvalue(lua_State* L) {
  return CallScriptFunction(L, *static_cast<CallTarget*>(lua_touserdata(L, lua_upvalueindex(1))));
}

// --- Lua operations of the table handles, each run protected --------------

struct TableRequest {
  int table;  // registry reference, or LUA_NOREF for a new table
  const char* key;
  ScriptFunction function;
  int closure;  // registry reference of the function's closure, or LUA_NOREF
  float number;
  int child;  // registry reference of a table to store
  int madeReference;
  void* box;  // the services' box, once made
};

TableRequest& RequestOf(lua_State* L) {
  return *static_cast<TableRequest*>(lua_touserdata(L, 1));
}

void PushClosure(lua_State* L, TableRequest& request) {
  if (request.closure != LUA_NOREF) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, request.closure);
    return;
  }
  // Every closure carries the same upvalues; a trampoline only skips reading
  // the first one on each call.
  const lua_CFunction trampoline = TrampolineFor(request.function);
  new (lua_newuserdata(L, sizeof(CallTarget))) CallTarget{request.function, {0}};
  lua_pushstring(L, request.key);
  lua_pushcclosure(L, trampoline != nullptr ? trampoline : CallThroughUpvalue, 2);
  lua_pushvalue(L, -1);
  request.madeReference = luaL_ref(L, LUA_REGISTRYINDEX);
}

void PushNumber(lua_State* L, TableRequest& request) {
  lua_pushnumber(L, static_cast<lua_Number>(request.number));
}

void PushChild(lua_State* L, TableRequest& request) {
  lua_rawgeti(L, LUA_REGISTRYINDEX, request.child);
}

// table[key] = the value `push` pushes; the table handles' three stores.
template <void (*push)(lua_State*, TableRequest&)>
int DoStore(lua_State* L) {
  TableRequest& request = RequestOf(L);
  lua_rawgeti(L, LUA_REGISTRYINDEX, request.table);
  lua_pushstring(L, request.key);
  push(L, request);
  lua_rawset(L, -3);
  return 0;
}

int DoCreateGlobalTable(lua_State* L) {
  const TableRequest& request = RequestOf(L);
  lua_newtable(L);
  lua_setglobal(L, request.key);
  return 0;
}

int DoLookupGlobalTable(lua_State* L) {
  TableRequest& request = RequestOf(L);
  lua_getglobal(L, request.key);
  request.madeReference = lua_istable(L, -1) ? luaL_ref(L, LUA_REGISTRYINDEX) : LUA_NOREF;
  return 0;
}

int DoCreateTable(lua_State* L) {
  TableRequest& request = RequestOf(L);
  lua_newtable(L);
  request.madeReference = luaL_ref(L, LUA_REGISTRYINDEX);
  return 0;
}

// --- The state's services, in a userdata of its registry --------------------

const char kServicesKey = 0;

// Lua frees the memory only after every finalizer of a closing state has
// run, so `alive` tells a late finalizer's call that the services are gone.
struct ServicesBox {
  bool alive;
  alignas(StateServices) unsigned char storage[sizeof(StateServices)];
  StateServices* services() { return std::launder(reinterpret_cast<StateServices*>(storage)); }
};

int CollectServices(lua_State* L) {
  auto* box = static_cast<ServicesBox*>(lua_touserdata(L, 1));
  if (box != nullptr && box->alive) {
    box->alive = false;
    StateServices* services = box->services();
    if (services->closeOnCollect != nullptr) CloseExtension(L, services->closeOnCollect);
    services->~StateServices();
  }
  return 0;
}

// Makes the box, empty; its finalizer is set before anything is put in it.
int NewServicesBox(lua_State* L) {
  TableRequest& request = RequestOf(L);
  auto* box = static_cast<ServicesBox*>(lua_newuserdata(L, sizeof(ServicesBox)));
  box->alive = false;
  lua_createtable(L, 0, 1);
  lua_pushcfunction(L, CollectServices);
  lua_setfield(L, -2, "__gc");
  lua_setmetatable(L, -2);
  lua_pushvalue(L, -1);
  SetRegistryValue(L, &kServicesKey);
  request.box = box;
  return 0;
}

// Runs one of the operations above; a Lua error becomes LuaOperationFailed.
void Run(lua_State* L, lua_CFunction operation, TableRequest& request) {
  if (ProtectedCall(L, operation, &request) == LUA_OK) return;
  const char* message = lua_tostring(L, -1);
  LuaOperationFailed failure(message != nullptr ? message : "error in the Lua state");
  lua_pop(L, 1);
  throw failure;
}

TableRequest Request(int table, const char* key) {
  return TableRequest{table, key, nullptr, LUA_NOREF, 0.0f, LUA_NOREF, LUA_NOREF, nullptr};
}

}  // namespace

int ArgType(lua_State* L, int index) {
  if (index < 1 || index > lua_gettop(L)) return LUA_TNONE;
  return lua_type(L, index);
}

const char* TypeCodeName(int type) {
  switch (type) {
    case kTypeNumber:
      return "number";
    case kTypeBoolean:
      return "boolean";
    default:
      return "unknown type";
  }
}

std::string& CallErrorText() {
  thread_local std::string text;
  return text;
}

StateServices::StateServices(ConsoleSink sink) : console(std::move(sink)) {}
StateServices::~StateServices() = default;

StateServices* InstallServices(lua_State* L, ConsoleSink sink) {
  TableRequest request = Request(LUA_NOREF, nullptr);
  Run(L, NewServicesBox, request);
  auto* box = static_cast<ServicesBox*>(request.box);
  new (box->storage) StateServices(std::move(sink));
  box->alive = true;
  return box->services();
}

StateServices* ServicesOf(lua_State* L) {
  GetRegistryValue(L, &kServicesKey);
  auto* box = static_cast<ServicesBox*>(lua_touserdata(L, -1));
  lua_pop(L, 1);
  return box != nullptr && box->alive ? box->services() : nullptr;
}

bool FindScriptFunction(lua_State* L, int index, ScriptFunctionInfo* info) {
  const lua_CFunction caller = lua_tocfunction(L, index);
  if (caller == nullptr || (caller != CallThroughUpvalue && !IsTrampoline(caller))) return false;
  if (lua_getupvalue(L, index, 1) == nullptr) return false;
  const auto* target = static_cast<const CallTarget*>(lua_touserdata(L, -1));
  lua_pop(L, 1);
  if (target == nullptr) return false;
  static const std::string kNoPath;
  info->function = target->function;
  info->path = &kNoPath;
  if (const StateServices* services = ServicesOf(L)) {
    const auto found = services->paths.find(target->function);
    if (found != services->paths.end()) info->path = &found->second;
  }
  return true;
}

void LuaTable::Push() const {
  lua_rawgeti(m_L, LUA_REGISTRYINDEX, m_reference);
}

void LuaTable::StoreFunction(const char* key, ScriptFunction function) {
  TableRequest request = Request(m_reference, key);
  request.function = function;
  const auto known = m_services->closures.find(function);
  if (known != m_services->closures.end()) request.closure = known->second;
  Run(m_L, DoStore<PushClosure>, request);
  if (request.madeReference != LUA_NOREF) {
    m_services->closures.emplace(function, request.madeReference);
  }
  m_functions.emplace_back(key, function);
  if (!m_path.empty()) RecordPath(key, function);
}

void LuaTable::StoreNumber(const char* key, float value) {
  TableRequest request = Request(m_reference, key);
  request.number = value;
  Run(m_L, DoStore<PushNumber>, request);
}

void LuaTable::StoreTable(const char* key, TableHandle* table) {
  if (table == nullptr) return;
  auto* child = static_cast<LuaTable*>(table);
  TableRequest request = Request(m_reference, key);
  request.child = child->m_reference;
  Run(m_L, DoStore<PushChild>, request);
  m_tables.emplace_back(key, child);
  if (!m_path.empty()) child->Attach(m_path + "." + key);
}

void LuaTable::Attach(const std::string& path) {
  if (!m_path.empty()) return;
  m_path = path;
  for (const auto& [key, function] : m_functions) RecordPath(key, function);
  for (const auto& [key, child] : m_tables) child->Attach(m_path + "." + key);
}

void LuaTable::RecordPath(const std::string& key, ScriptFunction function) {
  m_services->paths.emplace(function, m_path + "." + key);
}

void LuaInterface::ScriptError(const char* text) {
  // The first error is the one the script sees.
  if (m_hasError) return;
  CallErrorText() = text;
  m_hasError = true;
}

void LuaInterface::ConsoleMessage(const char* text) {
  StateServices& services = Services();
  services.messages.emplace_back(text);
  if (services.console) services.console(text);
}

void LuaInterface::CreateGlobalTable(const char* name) {
  TableRequest request = Request(LUA_NOREF, name);
  Run(m_L, DoCreateGlobalTable, request);
}

TableHandle* LuaInterface::LookupGlobalTable(const char* name) {
  TableRequest request = Request(LUA_NOREF, name);
  Run(m_L, DoLookupGlobalTable, request);
  if (request.madeReference == LUA_NOREF) return nullptr;
  return Keep(request.madeReference, name);
}

TableHandle* LuaInterface::CreateTable() {
  TableRequest request = Request(LUA_NOREF, nullptr);
  Run(m_L, DoCreateTable, request);
  return Keep(request.madeReference, {});
}

TableHandle* LuaInterface::Keep(int reference, std::string path) {
  StateServices& services = Services();
  services.tables.push_back(std::make_unique<LuaTable>(m_L, reference, &services, std::move(path)));
  return services.tables.back().get();
}

StateServices& LuaInterface::Services() {
  if (m_services == nullptr) m_services = ServicesOf(m_L);
  if (m_services == nullptr) throw LuaOperationFailed("the Lua state has no host services");
  return *m_services;
}

void LuaInterface::OnCheckArgType(int index, int type) {
  // An index of 0 would read as "no argument" in the error message.
  if (TypeCodeOf(m_L, index) != type || type == kTypeOther || index < 1) {
    throw ArgumentError{index < 1 ? -1 : index, type};
  }
}

double LuaInterface::OnArgAsNumber(int index) {
  return ArgType(m_L, index) == LUA_TNUMBER ? lua_tonumber(m_L, index) : 0.0;
}

bool LuaInterface::OnArgAsBool(int index) {
  return ArgType(m_L, index) != LUA_TNONE && lua_toboolean(m_L, index) != 0;
}

void LuaInterface::OnReturnNumber(float value) {
  lua_pushnumber(m_L, static_cast<lua_Number>(value));
}

void LuaInterface::OnReturnBool(bool value) {
  lua_pushboolean(m_L, value ? 1 : 0);
}

void LuaInterface::OnReturnNil() {
  lua_pushnil(m_L);
}

}  // namespace vessa
