// The host's fast way into script functions: trampolines that need no
// upvalue lookup, and arguments read up front once a function is known to
// read them. Neither may change what a script sees.
#include <gtest/gtest.h>

#include <lua.hpp>
#include <string>
#include <utility>

#include "tests/host/host_for_tests.h"

namespace vessa {
namespace {

using namespace vessa::testing;

// Returns n + its first argument: one distinct function per n.
template <int n>
int AddN(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  Host(state).ReturnNumber(static_cast<float>(n + Host(state).ArgAsNumber(1)));
  return 1;
}

// Reads its third argument both ways, without checking it.
template <int copy>
int ThirdArgument(ScriptState* state) {
  Host(state).ReturnNumber(static_cast<float>(Host(state).ArgAsNumber(3)));
  Host(state).ReturnBool(Host(state).ArgAsBool(3));
  return 2;
}

// Wants a number and a boolean.
template <int copy>
int NumberAndBoolean(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  Host(state).CheckArgType(2, kTypeBoolean);
  Host(state).ReturnBool(true);
  return 1;
}

// More functions than there are trampolines.
constexpr int kFunctions = 320;

class FastCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    L = luaL_newstate();
    luaL_openlibs(L);
    LuaInterface registration(L, &services);
    BoundInterface bound(reinterpret_cast<ScriptState*>(L), &registration);
    registration.CreateGlobalTable("T");
    table = registration.LookupGlobalTable("T");
    ASSERT_NE(table, nullptr);
    // The copies first, so that they are the ones with trampolines.
    StoreCopies(std::make_integer_sequence<int, kCopies>{});
    StoreAdders(std::make_integer_sequence<int, kFunctions>{});
  }
  void TearDown() override { lua_close(L); }

  template <int... n>
  void StoreAdders(std::integer_sequence<int, n...>) {
    const noisebind::ScriptFunction adders[] = {AddN<n>...};
    int number = 0;
    for (const noisebind::ScriptFunction adder : adders) {
      table->StoreFunction(("Add" + std::to_string(number++)).c_str(), adder);
    }
  }
  template <int... copy>
  void StoreCopies(std::integer_sequence<int, copy...>) {
    (table->StoreFunction(("Third" + std::to_string(copy)).c_str(), ThirdArgument<copy>), ...);
    (table->StoreFunction(("Pair" + std::to_string(copy)).c_str(), NumberAndBoolean<copy>), ...);
  }

  // What `code` returns, as a string, or the error it raises.
  std::string Run(const std::string& code) {
    if (luaL_loadstring(L, code.c_str()) != 0) return lua_tostring(L, -1);
    if (lua_pcall(L, 0, 1, 0) != 0) {
      std::string message = lua_tostring(L, -1);
      lua_pop(L, 1);
      return message;
    }
    std::string text = lua_tostring(L, -1) != nullptr ? lua_tostring(L, -1) : "(none)";
    lua_pop(L, 1);
    return text;
  }

  static constexpr int kCopies = 10;
  StateServices services{nullptr};
  TableHandle* table = nullptr;
  lua_State* L = nullptr;
};

TEST_F(FastCalls, EveryFunctionIsReachedWithOrWithoutATrampoline) {
  for (int n = 0; n < kFunctions; n += 7) {
    const std::string f = "T.Add" + std::to_string(n);
    EXPECT_EQ(Run("return tostring(" + f + "(0.5))"), std::to_string(n) + ".5");
    EXPECT_EQ(Run("return " + f + "('x')"),
              "bad argument #1 to 'Add" + std::to_string(n) + "' (number expected, got string)");
  }
  EXPECT_EQ(Run("return tostring(T.Add319(1))"), "320");
}

// Each row goes to a function never called before, which reads it through
// the Lua stack, and to one that has learned to read three arguments up front.
TEST_F(FastCalls, ArgumentsReadUpFrontReadAsOnTheLuaStack) {
  const std::pair<const char*, const char*> rows[] = {
      {"1, 2, 3.5", "3.5 true"},  {"1, 2", "0 false"},      {"1, 2, nil", "0 false"},
      {"1, 2, false", "0 false"}, {"1, 2, true", "0 true"}, {"1, 2, 'x'", "0 true"},
      {"1, 2, {}", "0 true"},     {"", "0 false"},
  };
  static_assert(sizeof(rows) / sizeof(rows[0]) <= kCopies - 1, "a fresh copy per row");
  Run("for i = 1, 3 do T.Third0(1, 2, 3) end");
  int copy = 1;
  for (const auto& [args, expected] : rows) {
    const std::string call = std::string("(") + args + ")";
    const std::string format = "local n, b = %s return tostring(n) .. ' ' .. tostring(b)";
    char fresh[160];
    char learned[160];
    std::snprintf(fresh, sizeof(fresh), format.c_str(),
                  ("T.Third" + std::to_string(copy++) + call).c_str());
    std::snprintf(learned, sizeof(learned), format.c_str(), ("T.Third0" + call).c_str());
    EXPECT_EQ(Run(fresh), expected) << args;
    EXPECT_EQ(Run(learned), expected) << args;
  }
}

TEST_F(FastCalls, ArgumentErrorsAreTheSameBeforeAndAfterLearning) {
  const std::pair<const char*, const char*> rows[] = {
      {"1, true", "true"},
      {"1", "bad argument #2 to 'Pair%d' (boolean expected, got no value)"},
      {"1, nil", "bad argument #2 to 'Pair%d' (boolean expected, got nil)"},
      {"nil, true", "bad argument #1 to 'Pair%d' (number expected, got nil)"},
      {"", "bad argument #1 to 'Pair%d' (number expected, got no value)"},
      {"'1', true", "bad argument #1 to 'Pair%d' (number expected, got string)"},
  };
  Run("for i = 1, 3 do T.Pair0(1, true) end");
  int copy = 1;
  for (const auto& [args, expected] : rows) {
    for (const int which : {copy++, 0}) {
      char message[128];
      std::snprintf(message, sizeof(message), expected, which);
      const std::string code = "return tostring(T.Pair" + std::to_string(which) + "(" + args + "))";
      // Errors carry the caller's position, as Lua's own do.
      const std::string where = message[0] == 'b' ? "[string \"" + code + "\"]:1: " : "";
      EXPECT_EQ(Run(code), where + message) << args;
    }
  }
}

}  // namespace
}  // namespace vessa
