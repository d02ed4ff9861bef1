// The Lua-backed host interface, with script functions of the tests' own:
// what a script sees of argument checks, errors, exceptions and results.
#include <gtest/gtest.h>
#include <libnoise/exception.h>

#include <lua.hpp>
#include <new>
#include <stdexcept>
#include <string>

#include "tests/host/host_for_tests.h"

namespace vessa {
namespace {

using namespace vessa::testing;

int g_bodyRuns = 0;
bool g_destroyed = false;

struct SetsFlagWhenDestroyed {
  ~SetsFlagWhenDestroyed() { g_destroyed = true; }
};

// Probe(number, boolean): returns the number doubled and the boolean negated.
int Probe(ScriptState* state) {
  SetsFlagWhenDestroyed guard;
  Host(state).CheckArgType(1, kTypeNumber);
  Host(state).CheckArgType(2, kTypeBoolean);
  ++g_bodyRuns;
  const double number = Host(state).ArgAsNumber(1);
  const bool flag = Host(state).ArgAsBool(2);
  Host(state).ReturnNumber(static_cast<float>(number * 2));
  Host(state).ReturnBool(!flag);
  return 2;
}

// Reports an error and goes on: the error reaches the script afterwards.
int Complain(ScriptState* state) {
  Host(state).ScriptError("LibNoise ERROR: complaint.\n");
  ++g_bodyRuns;
  Host(state).ReturnNil();
  return 1;
}

// Reads its ninth argument, beyond what the host prepares before a call.
int Ninth(ScriptState* state) {
  Host(state).CheckArgType(9, kTypeNumber);
  Host(state).ReturnNumber(static_cast<float>(Host(state).ArgAsNumber(9)));
  return 1;
}

// Thrower(kind): throws what the number names.
int Thrower(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  switch (static_cast<int>(Host(state).ArgAsNumber(1))) {
    case 1:
      throw noise::ExceptionInvalidParam();
    case 2:
      throw noise::ExceptionOutOfMemory();
    case 3:
      throw std::bad_alloc();
    case 4:
      throw std::runtime_error("boom");
    case 5:
      throw 42;
  }
  return 0;
}

// Pushes three results but claims one: the script gets the last one.
int ClaimsFewer(ScriptState* state) {
  Host(state).ReturnNumber(1);
  Host(state).ReturnNumber(2);
  Host(state).ReturnNumber(3);
  return 1;
}

class LuaInterfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_bodyRuns = 0;
    g_destroyed = false;
    L = luaL_newstate();
    luaL_openlibs(L);
    LuaInterface registration(L, &services);
    BoundInterface bound(reinterpret_cast<ScriptState*>(L), &registration);
    registration.CreateGlobalTable("T");
    TableHandle* table = registration.LookupGlobalTable("T");
    ASSERT_NE(table, nullptr);
    table->StoreFunction("Probe", Probe);
    table->StoreFunction("Alias", Probe);
    table->StoreFunction("Complain", Complain);
    table->StoreFunction("Ninth", Ninth);
    table->StoreFunction("Thrower", Thrower);
    table->StoreFunction("ClaimsFewer", ClaimsFewer);
    table->StoreNumber("Third", 1.0f / 3.0f);
  }
  void TearDown() override { lua_close(L); }

  // Runs `code` and gives what it returns as a string (or the load error).
  std::string Run(const std::string& code) {
    if (luaL_loadstring(L, code.c_str()) != 0 || lua_pcall(L, 0, 1, 0) != 0) {
      return std::string("lua error: ") + lua_tostring(L, -1);
    }
    const char* result = lua_tostring(L, -1);
    std::string text = result != nullptr ? result : "(not a string)";
    lua_pop(L, 1);
    return text;
  }

  std::string ErrorOf(const std::string& call) {
    return Run("local ok, message = pcall(function() return " + call +
               " end) return tostring(ok) .. '|' .. tostring(message)");
  }

  StateServices services{nullptr};
  lua_State* L = nullptr;
};

TEST_F(LuaInterfaceTest, ArgumentErrorsHaveLuasStandardFormAndNameTheKey) {
  EXPECT_EQ(ErrorOf("T.Probe()"),
            "false|bad argument #1 to 'Probe' (number expected, got no value)");
  EXPECT_EQ(ErrorOf("T.Probe(nil, true)"),
            "false|bad argument #1 to 'Probe' (number expected, got nil)");
  EXPECT_EQ(ErrorOf("T.Probe('1', true)"),
            "false|bad argument #1 to 'Probe' (number expected, got string)");
  EXPECT_EQ(ErrorOf("T.Probe({}, true)"),
            "false|bad argument #1 to 'Probe' (number expected, got table)");
  EXPECT_EQ(ErrorOf("T.Probe(1)"),
            "false|bad argument #2 to 'Probe' (boolean expected, got no value)");
  EXPECT_EQ(ErrorOf("T.Probe(1, 0)"),
            "false|bad argument #2 to 'Probe' (boolean expected, got number)");
  // Without a name at the call site (a tail call, pcall) the stored key
  // names the function: the first one, for a function stored under two.
  EXPECT_EQ(ErrorOf("T.Alias(1, nil)"),
            "false|bad argument #2 to 'Probe' (boolean expected, got nil)");
  EXPECT_EQ(Run("local f = T.Probe local ok, e = pcall(f) return e"),
            "bad argument #1 to 'Probe' (number expected, got no value)");
  // Otherwise the name the caller used, after the caller's position, as
  // luaL_argerror gives them.
  EXPECT_EQ(
      Run("local ok, e = pcall(function()\n local r = T.Alias(1, nil) return r end) return e"),
      "[string \"local ok, e = pcall(function()...\"]:2: bad argument #2 to 'Alias' "
      "(boolean expected, got nil)");
  EXPECT_EQ(Run("local ok, e = pcall(function() local f = T.Probe; local r = f('x') return r end) "
                "return e"),
            "[string \"local ok, e = pcall(function() local f = T.Pr...\"]:1: bad argument #1 "
            "to 'f' (number expected, got string)");
  EXPECT_EQ(Run("local ok, e = pcall(function() local r = T:Probe() return r end) return e"),
            "[string \"local ok, e = pcall(function() local r = T:Pr...\"]:1: calling 'Probe' on "
            "bad self (number expected, got table)");
  EXPECT_EQ(g_bodyRuns, 0);  // nothing after a failed check runs
  EXPECT_TRUE(g_destroyed);  // and the function's objects were destroyed
}

TEST_F(LuaInterfaceTest, ResultsArePushedAsTheFunctionCounts) {
  EXPECT_EQ(
      Run("local a, b = T.Probe(0.3, false) return string.format('%.17g %s', a, tostring(b))"),
      "0.60000002384185791 true");
  EXPECT_EQ(Run("return tostring(select('#', T.Probe(1, true, 'extra', {})))"), "2");
  EXPECT_EQ(Run("return tostring(select('#', T.ClaimsFewer())) .. tostring(T.ClaimsFewer())"),
            "13");
  EXPECT_EQ(Run("return string.format('%.17g', T.Third)"), "0.3333333432674408");
  EXPECT_EQ(Run("return tostring(T.Ninth(1, 2, 3, 4, 5, 6, 7, 8, 9.5))"), "9.5");
  EXPECT_EQ(ErrorOf("T.Ninth(1, 2, 3, 4, 5, 6, 7, 8)"),
            "false|bad argument #9 to 'Ninth' (number expected, got no value)");
}

TEST_F(LuaInterfaceTest, AScriptErrorIsRaisedWithExactlyItsTextOnceTheFunctionReturns) {
  EXPECT_EQ(ErrorOf("T.Complain()"), "false|LibNoise ERROR: complaint.\n");
  EXPECT_EQ(g_bodyRuns, 1);
}

TEST_F(LuaInterfaceTest, CppExceptionsBecomeLuaErrorsThatNameTheFunction) {
  EXPECT_EQ(ErrorOf("T.Thrower(1)"),
            "false|bad argument to 'Thrower' (value refused: invalid parameter)");
  EXPECT_EQ(ErrorOf("T.Thrower(2)"), "false|'Thrower' failed: the noise library failed");
  EXPECT_EQ(ErrorOf("T.Thrower(3)"), "false|'Thrower' failed: not enough memory");
  EXPECT_EQ(ErrorOf("T.Thrower(4)"), "false|'Thrower' failed: internal error: boom");
  // Exceptions of no known type are not the host's to stop: LuaJIT turns
  // them into its own error.
  EXPECT_EQ(ErrorOf("T.Thrower(5)"), "false|C++ exception");
  EXPECT_EQ(ErrorOf("T.Thrower(0)"), "true|nil");
}

TEST_F(LuaInterfaceTest, CallsWorkFromCoroutinesAndLeaveNothingBound) {
  EXPECT_EQ(Run("local co = coroutine.wrap(function(x) return T.Probe(x, true) end) "
                "return tostring(co(2))"),
            "4");
  EXPECT_EQ(ErrorOf("coroutine.wrap(function() return T.Probe() end)()"),
            "false|bad argument #1 to 'Probe' (number expected, got no value)");
  // Outside a call the state resolves to an interface that does nothing.
  ScriptInterface& idle = Host(reinterpret_cast<ScriptState*>(L));
  EXPECT_EQ(idle.LookupGlobalTable("T"), nullptr);
}

}  // namespace
}  // namespace vessa
