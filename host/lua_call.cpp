#include "host/lua_call.h"

#include <cxxabi.h>
#include <libnoise/exception.h>

#include <lua.hpp>
#include <new>
#include <stdexcept>

#include "host/lua_interface.h"
#include "host/lua_resolver.h"

namespace vessa {
namespace {

using noisebind::kTypeBoolean;
using noisebind::kTypeNumber;

// Type code of every Lua type the extension does not know.
constexpr int kTypeOther = -1;

// How a call that threw ended.
struct Failure {
  enum Kind { kArgument, kRefused, kLibrary, kMemory, kInternal, kUnknown };
  Kind kind;
  ArgumentError argument;
};

// One call of a script function: the arguments are read from the Lua stack
// once, up front, and the results are kept until the function has returned.
// Script functions are called once per point, hundreds of thousands of times
// a frame, so whatever a call that goes well does not need stays off its
// path: no lua_gettop (an absent argument reads as LUA_TNONE), an unrolled
// preparation, and failures dealt with out of line.
class LuaCall final : public LuaInterface {
 public:
  LuaCall(lua_State* L, CallTarget& target) : LuaInterface(L, nullptr), m_target(target) {
    // Set before the Lua calls below, so that they replace the defaults
    // rather than follow them.
    const unsigned count = target.arguments;
    m_preparedArgCount = count;
    m_resultCapacity = kMaxResults;
    PrepareFrom<0>(L, count);
  }

  // Runs the function. Returns the number of results left on the stack, or
  // -1 with an error message on top of the stack.
  int Run(ScriptFunction function) {
    int claimed = 0;
    bool failed = false;
    try {
      BoundCall bound(this);
      claimed = function(LuaResolver::StateOf(this));
    } catch (...) {
      // Only recorded here: the message is pushed once the handler is left.
      m_failure = CurrentFailure();
      failed = true;
    }
    if (__builtin_expect(failed, 0)) return PushFailure(m_failure);
    // Most calls end with one number, counted, and no error.
    if (__builtin_expect(claimed == 1 && m_resultCount == 1 && !m_hasError &&
                             m_results[0].kind == Result::kNumber,
                         1)) {
      lua_pushnumber(m_L, static_cast<lua_Number>(m_results[0].number));
      return 1;
    }
    if (m_hasError) return PushScriptError();
    return PushResults(claimed);
  }

 private:
  // Prepares arguments `slot` + 1 to `count`, unrolled: a call with few
  // arguments takes a branch or two.
  template <unsigned slot>
  void PrepareFrom(lua_State* L, unsigned count) {
    if constexpr (slot < kMaxPreparedArgs) {
      if (slot >= count) return;
      constexpr int index = static_cast<int>(slot) + 1;
      const int type = lua_type(L, index);
      PreparedArg& arg = m_preparedArgs[slot];
      if (__builtin_expect(type == LUA_TNUMBER, 1)) {
        arg = PreparedArg{kTypeNumber, true, lua_tonumber(L, index)};
      } else {
        PrepareOther(arg, index, type);
      }
      PrepareFrom<slot + 1>(L, count);
    }
  }

  // Reads as the slow paths of LuaInterface do: an absent argument is of no
  // known type, false and 0, like nil.
  [[gnu::noinline]] void PrepareOther(PreparedArg& arg, int index, int type) {
    switch (type) {
      case LUA_TBOOLEAN:
        arg = PreparedArg{kTypeBoolean, lua_toboolean(m_L, index) != 0, 0.0};
        break;
      case LUA_TNIL:
      case LUA_TNONE:
        arg = PreparedArg{kTypeOther, false, 0.0};
        break;
      default:
        arg = PreparedArg{kTypeOther, true, 0.0};
        break;
    }
  }

  // An argument the host did not read up front: read up front from now on.
  void Learn(int index) {
    if (index > static_cast<int>(m_target.arguments) &&
        index <= static_cast<int>(kMaxPreparedArgs)) {
      m_target.arguments = static_cast<unsigned>(index);
    }
  }
  void OnCheckArgType(int index, int type) override {
    Learn(index);
    LuaInterface::OnCheckArgType(index, type);
  }
  double OnArgAsNumber(int index) override {
    Learn(index);
    return LuaInterface::OnArgAsNumber(index);
  }
  bool OnArgAsBool(int index) override {
    Learn(index);
    return LuaInterface::OnArgAsBool(index);
  }

  StateServices& Services() override {
    return *static_cast<StateServices*>(lua_touserdata(m_L, lua_upvalueindex(3)));
  }

  const char* FunctionName() const { return lua_tostring(m_L, lua_upvalueindex(2)); }

  // Inside a handler: what the exception being handled means for the script.
  // Rethrows a Lua error unwinding from the Lua side: it is not ours to stop.
  [[gnu::cold, gnu::noinline]] Failure CurrentFailure() {
    try {
      throw;
    } catch (const ArgumentError& error) {
      return Failure{Failure::kArgument, error};
    } catch (const noise::ExceptionInvalidParam&) {
      return Failure{Failure::kRefused, {0, 0}};
    } catch (const noise::Exception&) {
      return Failure{Failure::kLibrary, {0, 0}};
    } catch (const std::bad_alloc&) {
      return Failure{Failure::kMemory, {0, 0}};
    } catch (const std::exception& error) {
      try {
        Services().failureDetail = error.what();
      } catch (const std::bad_alloc&) {
        return Failure{Failure::kMemory, {0, 0}};
      }
      return Failure{Failure::kInternal, {0, 0}};
    } catch (...) {
      if (abi::__cxa_current_exception_type() == nullptr) throw;
      return Failure{Failure::kUnknown, {0, 0}};
    }
  }

  [[gnu::cold, gnu::noinline]] int PushFailure(const Failure& failure) {
    switch (failure.kind) {
      case Failure::kArgument:
        lua_pushfstring(m_L, "bad argument #%d to '%s' (%s expected, got %s)",
                        failure.argument.index, FunctionName(), TypeCodeName(failure.argument.type),
                        lua_typename(m_L, ArgType(m_L, failure.argument.index)));
        return -1;
      case Failure::kRefused:
        lua_pushfstring(m_L, "bad argument to '%s' (value refused: invalid parameter)",
                        FunctionName());
        return -1;
      case Failure::kLibrary:
        return PushFailed("the noise library failed", "");
      case Failure::kMemory:
        return PushFailed("not enough memory", "");
      case Failure::kInternal:
        return PushFailed("internal error: ", Services().failureDetail.c_str());
      case Failure::kUnknown:
        break;
    }
    return PushFailed("unknown C++ exception", "");
  }

  int PushFailed(const char* failure, const char* detail) {
    lua_pushfstring(m_L, "'%s' failed: %s%s", FunctionName(), failure, detail);
    return -1;
  }

  [[gnu::cold, gnu::noinline]] int PushScriptError() {
    const std::string& text = Services().scriptError;
    lua_pushlstring(m_L, text.data(), text.size());
    return -1;
  }

  // Pushes every result; the function's count picks how many of the last
  // ones the script receives, as with a Lua C function.
  int PushResults(int claimed) {
    const unsigned pushed = m_resultCount;
    PushFrom<0>(pushed);
    if (claimed < 0) return 0;
    return static_cast<unsigned>(claimed) < pushed ? claimed : static_cast<int>(pushed);
  }

  // Pushes results `index` to `count` - 1, unrolled like the preparation.
  template <unsigned index>
  void PushFrom(unsigned count) {
    if constexpr (index < kMaxResults) {
      if (index >= count) return;
      const Result& result = m_results[index];
      if (__builtin_expect(result.kind == Result::kNumber, 1)) {
        lua_pushnumber(m_L, static_cast<lua_Number>(result.number));
      } else {
        PushOther(result);
      }
      PushFrom<index + 1>(count);
    }
  }

  [[gnu::noinline]] void PushOther(const Result& result) {
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

  CallTarget& m_target;
  Failure m_failure;  // set only when the function threw
};

}  // namespace

int CallScriptFunction(lua_State* L, CallTarget& target) {
  int results;
  {
    LuaCall call(L, target);
    results = call.Run(target.function);
  }
  // Raised here, once no C++ object of the call is alive.
  if (results < 0) return lua_error(L);
  return results;
}

}  // namespace vessa
