// The SDK's one-call way in: OpenExtensionFile and PublishNoiseTable in a
// state the program made itself.
#include <gtest/gtest.h>

#include <lua.hpp>
#include <string>
#include <vector>

#include "host/embed.h"

namespace {

class EmbedTest : public ::testing::Test {
 protected:
  EmbedTest() : L(luaL_newstate()) { luaL_openlibs(L); }
  ~EmbedTest() override { lua_close(L); }

  // The value of a Lua expression as a string, as tostring gives it.
  std::string Eval(const std::string& expression) {
    const std::string code = "return tostring(" + expression + ")";
    if (luaL_dostring(L, code.c_str()) != 0) return std::string("error: ") + lua_tostring(L, -1);
    std::string value = lua_tostring(L, -1);
    lua_pop(L, 1);
    return value;
  }

  lua_State* L;
};

TEST_F(EmbedTest, RefusalsSayWhy) {
  struct Case {
    const char* path;
    const char* reason;
  };
  const Case cases[] = {
      {"/nonexistent/noisebind.so", "cannot load extension '/nonexistent/noisebind.so': "},
      {NOISEBIND_NO_ENTRY_POINTS, "has no entry point 'vessa_open'"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(vessa::OpenExtensionFile(L, c.path, nullptr, &error)) << c.path;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_EQ(Eval("LibNoise"), "nil");
  }
}

TEST_F(EmbedTest, OpensTheExtensionOncePerState) {
  std::string error;
  ASSERT_TRUE(vessa::OpenExtensionFile(L, NOISEBIND_EXTENSION, nullptr, &error)) << error;
  EXPECT_EQ(Eval("LibNoise.SCurve3(0.5)"), "0.5");
  EXPECT_FALSE(vessa::OpenExtensionFile(L, NOISEBIND_EXTENSION, nullptr, &error));
  EXPECT_EQ(error, "an extension is open in this Lua state already");
  EXPECT_EQ(Eval("LibNoise.SCurve3(0.5)"), "0.5");
}

TEST_F(EmbedTest, MessagesGoToTheConsoleAndStayInTheNoiseTable) {
  std::vector<std::string> shown;
  std::string error;
  ASSERT_TRUE(vessa::OpenExtensionFile(
      L, NOISEBIND_EXTENSION, [&shown](const char* text) { shown.push_back(text); }, &error))
      << error;
  ASSERT_TRUE(vessa::PublishNoiseTable(L, &error)) << error;
  EXPECT_EQ(shown.size(), 19u);
  EXPECT_EQ(Eval("#noise.messages()"), "19");
  EXPECT_EQ(Eval("noise.messages()[1] == " + std::string("[[") + shown[0] + "]]"), "true");
  EXPECT_EQ(Eval("require('noisebind') == noise and noise.LibNoise == LibNoise"), "true");
  EXPECT_EQ(Eval("type(noise.image.new)"), "function");
}

}  // namespace
