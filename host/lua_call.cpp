#include "host/lua_call.h"

#include <libnoise/exception.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <type_traits>

#include "host/extension_lock.h"
#include "host/lua_compat.h"
#include "host/lua_interface.h"
#include "host/lua_resolver.h"

namespace vessa {
namespace {

using noisebind::kTypeBoolean;
using noisebind::kTypeNumber;

// Type code of every Lua type the extension does not know.
constexpr int kTypeOther = -1;

// How a call ended. Plain data: it outlives the call's C++ objects, so that
// the error is raised once none of them is alive.
struct Outcome {
  enum Kind {
    kReturned,
    kScriptError,
    kArgument,
    kRefused,
    kLibrary,
    kMemory,
    kReentered,
    kInternal
  };
  Kind kind;
  int results;  // results left on the stack, when returned
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
    const unsigned count = target.arguments.load(std::memory_order_relaxed);
    m_preparedArgCount = count;
    m_resultCapacity = kMaxResults;
    PrepareFrom<0>(L, count);
  }

  // Runs the function under the extension lock and, when it went well,
  // pushes its results. Nothing here raises a Lua error.
  Outcome Run() {
    int claimed = 0;
    try {
      ExtensionLock::Scope lock;
      if (!lock.held()) return Failed(Outcome::kReentered);
      claimed = m_target.function(LuaResolver::StateOf(this));
    } catch (const ArgumentError& error) {
      return Outcome{Outcome::kArgument, 0, error};
    } catch (const noise::ExceptionInvalidParam&) {
      return Failed(Outcome::kRefused);
    } catch (const noise::Exception&) {
      return Failed(Outcome::kLibrary);
    } catch (const std::bad_alloc&) {
      return Failed(Outcome::kMemory);
    } catch (const std::exception& error) {
      return Internal(error.what());
    }
    // Anything else propagates: a Lua error of LuaJIT's among them.
    // Most calls end with one number, counted, and no error.
    if (__builtin_expect(claimed == 1 && m_resultCount == 1 && !m_hasError &&
                             m_results[0].kind == Result::kNumber,
                         1)) {
      lua_pushnumber(m_L, static_cast<lua_Number>(m_results[0].number));
      return Outcome{Outcome::kReturned, 1, {}};
    }
    if (m_hasError) return Failed(Outcome::kScriptError);
    if (m_tooManyResults) return Internal("too many results");
    return Outcome{Outcome::kReturned, PushResults(claimed), {}};
  }

 private:
  static Outcome Failed(Outcome::Kind kind) { return Outcome{kind, 0, {}}; }

  [[gnu::cold, gnu::noinline]] static Outcome Internal(const char* what) {
    try {
      CallErrorText() = what;
    } catch (const std::bad_alloc&) {
      return Failed(Outcome::kMemory);
    }
    return Failed(Outcome::kInternal);
  }

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
    if (index > static_cast<int>(m_target.arguments.load(std::memory_order_relaxed)) &&
        index <= static_cast<int>(kMaxPreparedArgs)) {
      m_target.arguments.store(static_cast<unsigned>(index), std::memory_order_relaxed);
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

  // Results beyond those kept: the script would get them in the wrong order.
  void OnReturnNumber(float) override { m_tooManyResults = true; }
  void OnReturnBool(bool) override { m_tooManyResults = true; }
  void OnReturnNil() override { m_tooManyResults = true; }

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
  bool m_tooManyResults = false;
};

// A Lua error may pass over a call (a longjmp in PUC Lua) only because
// nothing in it needs destroying.
static_assert(std::is_trivially_destructible_v<LuaCall>, "LuaCall must not need destroying");

// What the error message is made of, gathered without allocating.
struct ErrorMessage {
  const Outcome* outcome;
  const char* name;             // the name the caller used, else the stored key
  bool method;                  // called with ':', so that argument 1 is self
  char where[LUA_IDSIZE + 24];  // "chunk:line: ", as luaL_where gives it
  const char* gotType;
};

void Gather(lua_State* L, const Outcome& outcome, ErrorMessage* message) {
  message->outcome = &outcome;
  message->name = nullptr;
  message->method = false;
  message->where[0] = '\0';
  lua_Debug ar;
  if (lua_getstack(L, 0, &ar) && lua_getinfo(L, "n", &ar) && ar.name != nullptr) {
    message->name = ar.name;
    message->method = ar.namewhat != nullptr && std::strcmp(ar.namewhat, "method") == 0;
  }
  if (message->name == nullptr) message->name = lua_tostring(L, lua_upvalueindex(2));
  if (message->name == nullptr) message->name = "?";
  if (lua_getstack(L, 1, &ar) && lua_getinfo(L, "Sl", &ar) && ar.currentline > 0) {
    std::snprintf(message->where, sizeof message->where, "%s:%d: ", ar.short_src, ar.currentline);
  }
  message->gotType = lua_typename(L, ArgType(L, outcome.argument.index));
}

// Makes the message and raises it, inside a protected call: whatever it
// allocates, any error stays in the protection.
int RaiseMessage(lua_State* L) {
  const auto& message = *static_cast<const ErrorMessage*>(lua_touserdata(L, 1));
  const Outcome& outcome = *message.outcome;
  const char* name = message.name;
  const std::string& text = CallErrorText();
  switch (outcome.kind) {
    case Outcome::kScriptError:
      // The extension's own text, exactly: scripts compare it.
      lua_pushlstring(L, text.data(), text.size());
      break;
    case Outcome::kArgument: {
      int index = outcome.argument.index;
      const char* expected = TypeCodeName(outcome.argument.type);
      if (message.method && --index == 0) {
        lua_pushfstring(L, "%scalling '%s' on bad self (%s expected, got %s)", message.where, name,
                        expected, message.gotType);
      } else {
        lua_pushfstring(L, "%sbad argument #%d to '%s' (%s expected, got %s)", message.where, index,
                        name, expected, message.gotType);
      }
      break;
    }
    case Outcome::kRefused:
      lua_pushfstring(L, "%sbad argument to '%s' (value refused: invalid parameter)", message.where,
                      name);
      break;
    case Outcome::kLibrary:
      lua_pushfstring(L, "%s'%s' failed: the noise library failed", message.where, name);
      break;
    case Outcome::kMemory:
      lua_pushfstring(L, "%s'%s' failed: not enough memory", message.where, name);
      break;
    case Outcome::kReentered:
      // Waiting for the lock this thread holds would never end.
      lua_pushfstring(L,
                      "%s'%s' not run: the extension is opening on this thread (called by a "
                      "finalizer or metamethod run by that open)",
                      message.where, name);
      break;
    default:
      lua_pushfstring(L, "%s'%s' failed: internal error: %s", message.where, name, text.c_str());
      break;
  }
  return lua_error(L);
}

[[gnu::cold, gnu::noinline]] int RaiseFailure(lua_State* L, const Outcome& outcome) {
  ErrorMessage message;
  Gather(L, outcome, &message);
  ProtectedCall(L, RaiseMessage, &message);
  return lua_error(L);
}

}  // namespace

int CallScriptFunction(lua_State* L, CallTarget& target) {
  const Outcome outcome = LuaCall(L, target).Run();
  if (__builtin_expect(outcome.kind == Outcome::kReturned, 1)) return outcome.results;
  return RaiseFailure(L, outcome);
}

}  // namespace vessa
