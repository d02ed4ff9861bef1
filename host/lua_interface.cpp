#include "host/lua_interface.h"

#include <cxxabi.h>
#include <libnoise/exception.h>

#include <lua.hpp>
#include <new>
#include <stdexcept>

#include "host/lua_resolver.h"

namespace vessa {
namespace {

using noisebind::kTypeBoolean;
using noisebind::kTypeNumber;
using noisebind::ScriptState;

// Type code of every Lua type the extension does not know.
constexpr int kTypeOther = -1;

// Thrown by a failed argument check; caught where the call entered the host.
struct ArgumentError {
  int index;
  int type;
};

// Lua type of argument `index`, LUA_TNONE for any index that names no argument.
int ArgType(lua_State* L, int index) {
  if (index < 1 || index > lua_gettop(L)) return LUA_TNONE;
  return lua_type(L, index);
}

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

ScriptState* AsScriptState(lua_State* L) {
  return reinterpret_cast<ScriptState*>(L);
}

// One call of a script function: the arguments are read from the Lua stack
// once, up front, and the results are kept until the function has returned.
class LuaCall final : public LuaInterface {
 public:
  explicit LuaCall(lua_State* L) : LuaInterface(L, nullptr) {
    const int top = lua_gettop(L);
    const unsigned count =
        top < static_cast<int>(kMaxPreparedArgs) ? static_cast<unsigned>(top) : kMaxPreparedArgs;
    for (unsigned slot = 0; slot < count; ++slot) {
      const int index = static_cast<int>(slot) + 1;
      PreparedArg& arg = m_preparedArgs[slot];
      switch (lua_type(L, index)) {
        case LUA_TNUMBER:
          arg = PreparedArg{kTypeNumber, true, lua_tonumber(L, index)};
          break;
        case LUA_TBOOLEAN:
          arg = PreparedArg{kTypeBoolean, lua_toboolean(L, index) != 0, 0.0};
          break;
        case LUA_TNIL:
          arg = PreparedArg{kTypeOther, false, 0.0};
          break;
        default:
          arg = PreparedArg{kTypeOther, true, 0.0};
          break;
      }
    }
    m_preparedArgCount = count;
    m_resultCapacity = kMaxResults;
  }

  // Runs the function. Returns the number of results left on the stack, or
  // -1 with an error message on top of the stack.
  int Run(ScriptFunction function) {
    const char* failure = nullptr;
    std::string detail;
    ArgumentError argumentError{0, 0};
    bool refused = false;
    int claimed = 0;
    try {
      BoundInterface bound(AsScriptState(m_L), this);
      claimed = function(AsScriptState(m_L));
    } catch (const ArgumentError& error) {
      argumentError = error;
    } catch (const noise::ExceptionInvalidParam&) {
      refused = true;
    } catch (const noise::Exception&) {
      failure = "the noise library failed";
    } catch (const std::bad_alloc&) {
      failure = "not enough memory";
    } catch (const std::exception& error) {
      failure = "internal error: ";
      detail = error.what();
    } catch (...) {
      // A Lua error unwinding from the Lua side is not ours to stop.
      if (abi::__cxa_current_exception_type() == nullptr) throw;
      failure = "unknown C++ exception";
    }
    if (argumentError.index != 0) {
      lua_pushfstring(m_L, "bad argument #%d to '%s' (%s expected, got %s)", argumentError.index,
                      FunctionName(), TypeCodeName(argumentError.type),
                      lua_typename(m_L, ArgType(m_L, argumentError.index)));
      return -1;
    }
    if (refused) {
      lua_pushfstring(m_L, "bad argument to '%s' (value refused: invalid parameter)",
                      FunctionName());
      return -1;
    }
    if (failure != nullptr) {
      lua_pushfstring(m_L, "'%s' failed: %s%s", FunctionName(), failure, detail.c_str());
      return -1;
    }
    if (m_hasError) {
      lua_pushlstring(m_L, m_errorText.data(), m_errorText.size());
      return -1;
    }
    return PushResults(claimed);
  }

 private:
  StateServices& Services() override {
    return *static_cast<StateServices*>(lua_touserdata(m_L, lua_upvalueindex(3)));
  }

  const char* FunctionName() const { return lua_tostring(m_L, lua_upvalueindex(2)); }

  // Pushes every result; the function's count picks how many of the last
  // ones the script receives, as with a Lua C function.
  int PushResults(int claimed) {
    for (unsigned i = 0; i < m_resultCount; ++i) {
      const Result& result = m_results[i];
      switch (result.kind) {
        case Result::kNumber:
          lua_pushnumber(m_L, static_cast<lua_Number>(result.number));
          break;
        case Result::kTrue:
          lua_pushboolean(m_L, 1);
          break;
        case Result::kFalse:
          lua_pushboolean(m_L, 0);
          break;
        case Result::kNil:
          lua_pushnil(m_L);
          break;
      }
    }
    const int pushed = static_cast<int>(m_resultCount);
    if (claimed < 0) return 0;
    return claimed < pushed ? claimed : pushed;
  }
};

// The Lua function behind every stored script function. Upvalues: the
// function pointer, the key it was stored under, the state's services.
int CallScriptFunction(lua_State* L) {
  const ScriptFunction function =
      *static_cast<const ScriptFunction*>(lua_touserdata(L, lua_upvalueindex(1)));
  int results;
  {
    LuaCall call(L);
    results = call.Run(function);
  }
  // Raised here, once no C++ object of the call is alive.
  if (results < 0) return lua_error(L);
  return results;
}

}  // namespace

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
  *static_cast<ScriptFunction*>(lua_newuserdata(L, sizeof(ScriptFunction))) = function;
  lua_pushstring(L, key);
  lua_pushlightuserdata(L, services);
  lua_pushcclosure(L, CallScriptFunction, 3);
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
  m_errorText = text;
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
