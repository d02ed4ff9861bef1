// A Lua state with the noise objects in a global `noise` table, and the
// snippets the tests run in it.
#ifndef NOISEBIND_TESTS_OBJECTS_LUA_FIXTURE_H
#define NOISEBIND_TESTS_OBJECTS_LUA_FIXTURE_H

#include <gtest/gtest.h>

#include <lua.hpp>
#include <string>

namespace noisebind::objects::testing {

class LuaFixture : public ::testing::Test {
 protected:
  LuaFixture();
  ~LuaFixture() override;

  // Runs `code`; fails the test with Lua's message when it raises.
  void Run(const std::string& code);
  // The error message `code` raises, or "" when it does not.
  std::string Error(const std::string& code);
  // The number `expression` gives.
  double Number(const std::string& expression);
  // global[name]:method(a, b, c), a double.
  double Call(const char* name, const char* method, double a, double b, double c);

  lua_State* L;
};

}  // namespace noisebind::objects::testing

#endif  // NOISEBIND_TESTS_OBJECTS_LUA_FIXTURE_H
