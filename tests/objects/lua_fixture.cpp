#include "lua_fixture.h"

#include "lua/objects/noise_object.h"

namespace noisebind::objects::testing {

LuaFixture::LuaFixture() : L(luaL_newstate()) {
  luaL_openlibs(L);
  lua_newtable(L);
  lua_pushcfunction(L, OpenObjectsLibrary);
  lua_pushvalue(L, -2);
  lua_call(L, 1, 0);
  lua_setglobal(L, "noise");
}

LuaFixture::~LuaFixture() {
  lua_close(L);
}

void LuaFixture::Run(const std::string& code) {
  const std::string error = Error(code);
  ASSERT_EQ(error, "") << code;
}

std::string LuaFixture::Error(const std::string& code) {
  if (luaL_loadbuffer(L, code.data(), code.size(), "=test") == 0 && lua_pcall(L, 0, 0, 0) == 0) {
    return "";
  }
  std::string message = lua_tostring(L, -1);
  lua_pop(L, 1);
  // LuaJIT says where the error was raised; PUC Lua does not for C functions.
  const std::string where = "test:1: ";
  if (message.compare(0, where.size(), where) == 0) message.erase(0, where.size());
  return message;
}

double LuaFixture::Number(const std::string& expression) {
  const std::string code = "return " + expression;
  if (luaL_loadbuffer(L, code.data(), code.size(), "=test") != 0 || lua_pcall(L, 0, 1, 0) != 0) {
    ADD_FAILURE() << expression << ": " << lua_tostring(L, -1);
    lua_pop(L, 1);
    return 0.0;
  }
  const double value = lua_tonumber(L, -1);
  lua_pop(L, 1);
  return value;
}

double LuaFixture::Call(const char* name, const char* method, double a, double b, double c) {
  lua_getglobal(L, name);
  lua_getfield(L, -1, method);
  lua_insert(L, -2);
  lua_pushnumber(L, a);
  lua_pushnumber(L, b);
  lua_pushnumber(L, c);
  if (lua_pcall(L, 4, 1, 0) != 0) {
    ADD_FAILURE() << name << ":" << method << ": " << lua_tostring(L, -1);
    lua_pop(L, 1);
    return 0.0;
  }
  const double value = lua_tonumber(L, -1);
  lua_pop(L, 1);
  return value;
}

}  // namespace noisebind::objects::testing
