#include "host/lua_interface.h"

#include <lua.hpp>
#include <new>
#include <utility>

#include "host/lua_call.h"
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

StateServices::StateServices(ConsoleSink sink) : console(std::move(sink)) {}
StateServices::~StateServices() = default;

void PushScriptFunction(lua_State* L, const char* key, ScriptFunction function,
                        StateServices* services) {
  const lua_CFunction trampoline = TrampolineFor(function);
  // Every closure carries the same upvalues; a trampoline only skips reading
  // the first one on each call.
  new (lua_newuserdata(L, sizeof(CallTarget))) CallTarget{function, 0};
  lua_pushstring(L, key);
  lua_pushlightuserdata(L, services);
  lua_pushcclosure(L, trampoline != nullptr ? trampoline : CallThroughUpvalue, 3);
}

void LuaTable::Push() const {
  lua_rawgeti(m_L, LUA_REGISTRYINDEX, m_reference);
}

void LuaTable::StoreFunction(const char* key, ScriptFunction function) {
  Push();
  lua_pushstring(m_L, key);
  PushScriptFunction(m_L, key, function, m_services);
  lua_rawset(m_L, -3);
  lua_pop(m_L, 1);
}

void LuaTable::StoreNumber(const char* key, float value) {
  Push();
  lua_pushstring(m_L, key);
  lua_pushnumber(m_L, static_cast<lua_Number>(value));
  lua_rawset(m_L, -3);
  lua_pop(m_L, 1);
}

void LuaTable::StoreTable(const char* key, TableHandle* table) {
  if (table == nullptr) return;
  Push();
  lua_pushstring(m_L, key);
  static_cast<LuaTable*>(table)->Push();
  lua_rawset(m_L, -3);
  lua_pop(m_L, 1);
}

void LuaInterface::ScriptError(const char* text) {
  // The first error is the one the script sees.
  if (m_hasError) return;
  Services().scriptError = text;
  m_hasError = true;
}

void LuaInterface::ConsoleMessage(const char* text) {
  StateServices& services = Services();
  if (services.console) services.console(text);
}

void LuaInterface::CreateGlobalTable(const char* name) {
  lua_newtable(m_L);
  lua_setfield(m_L, LUA_GLOBALSINDEX, name);
}

TableHandle* LuaInterface::LookupGlobalTable(const char* name) {
  lua_getfield(m_L, LUA_GLOBALSINDEX, name);
  if (!lua_istable(m_L, -1)) {
    lua_pop(m_L, 1);
    return nullptr;
  }
  return Keep(luaL_ref(m_L, LUA_REGISTRYINDEX));
}

TableHandle* LuaInterface::CreateTable() {
  lua_newtable(m_L);
  return Keep(luaL_ref(m_L, LUA_REGISTRYINDEX));
}

TableHandle* LuaInterface::Keep(int reference) {
  StateServices& services = Services();
  services.tables.push_back(std::make_unique<LuaTable>(m_L, reference, &services));
  return services.tables.back().get();
}

StateServices& LuaInterface::Services() {
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
