// The map userdata and the image accessor as other C++ code sees them: only
// the real thing passes, however it is forged.
#include <gtest/gtest.h>

#include <cstring>
#include <lua.hpp>
#include <string>

#include "host/lua_compat.h"
#include "image/image.h"
#include "image/image_buffer.h"
#include "maps/map_userdata.h"

namespace noisebind::maps {
namespace {

class MapUserdata : public testing::Test {
 protected:
  void SetUp() override {
    L = luaL_newstate();
    luaL_openlibs(L);
    OpenMapType(L);
    lua_newtable(L);
    vessa::OpenImageLibrary(L);
    lua_getfield(L, -1, "image");
    lua_getfield(L, -1, "new");
    lua_setglobal(L, "newimage");
    lua_settop(L, 0);
  }
  void TearDown() override { lua_close(L); }

  // A userdata of `bytes` bytes with the metatable the map at index 1 has.
  void PushForgery(std::size_t bytes) {
    void* data = lua_newuserdata(L, bytes);
    std::memset(data, 0, bytes);
    lua_getmetatable(L, 1);
    lua_setmetatable(L, -2);
  }

  lua_State* L = nullptr;
};

TEST_F(MapUserdata, OnlyARealMapPasses) {
  const MapRef made = PushNewMap(L, 3, 2);
  made.values[5] = 7.5;
  MapRef found{};
  ASSERT_TRUE(TestMap(L, 1, &found));
  EXPECT_EQ(found.width, 3u);
  EXPECT_EQ(found.height, 2u);
  EXPECT_EQ(found.view().at(2, 1), 7.5);
  // The map's metatable on a userdata of another size: refused, so that a
  // header and values that do not fit are never read.
  PushForgery(8 + 3 * 2 * 8 - 1);
  EXPECT_FALSE(TestMap(L, -1, &found));
  PushForgery(4);
  EXPECT_FALSE(TestMap(L, -1, &found));
  lua_pushlightuserdata(L, made.values);
  EXPECT_FALSE(TestMap(L, -1, &found));
  lua_newtable(L);
  EXPECT_FALSE(TestMap(L, -1, &found));
  EXPECT_EQ(lua_gettop(L), 5);  // the tests leave the stack as it was
}

// Runs `chunk` with the map at index 1 as `...`; its error message, or ""
// when it ran.
std::string RunOnMap(lua_State* L, const char* chunk) {
  if (luaL_loadstring(L, chunk) != 0) return lua_tostring(L, -1);
  lua_pushvalue(L, 1);
  const std::string message = lua_pcall(L, 1, 0, 0) == 0 ? "" : lua_tostring(L, -1);
  lua_settop(L, 1);
  return message;
}

int CheckPlaneCall(lua_State* L) {
  CheckPlane(L, 1);
  return 0;
}

TEST_F(MapUserdata, AVolumeKeepsXFastestThenYThenZ) {
  const MapRef made = PushNewMap(L, 2, 3, 4);
  ASSERT_EQ(made.depth, 4u);
  for (std::size_t i = 0; i < 24; ++i) made.values[i] = static_cast<double>(i);
  EXPECT_EQ(made.view().at(1, 2, 3), 23.0);
  const char* methods = R"lua(
    local m = ...
    assert(m:width() == 2 and m:height() == 3 and m:depth() == 4)
    assert(tostring(m) == "map (2 x 3 x 4)")
    local t = m:flat()
    assert(#t == 24)
    for i = 1, 24 do assert(t[i] == i - 1) end
    -- value (x, y, z) at 1 + x + 2 * (y + 3 * z), as Luanti's flat maps
    assert(m:get(1, 0, 2) == 1 + 2 * 6)
    assert(m:get(1, 2) == 5)  -- layer 0 by default
    m:set(0, 1, 3, -7)
    assert(m:get(0, 1, 3) == -7 and t[1 + 0 + 2 * (1 + 3 * 3)] ~= -7)
    m:set(1, 1, 9)
    assert(m:get(1, 1, 0) == 9)
    assert(select(2, m:range()) == 23)
  )lua";
  EXPECT_EQ(RunOnMap(L, methods), "");
  EXPECT_NE(RunOnMap(L, "local m = ... m:get(0, 0, 4)").find("z must be an integer from 0 to 3"),
            std::string::npos);
  EXPECT_NE(RunOnMap(L, "local m = ... m:set(0, 0, -1, 2)").find("z must be"), std::string::npos);
  lua_pushcfunction(L, CheckPlaneCall);
  lua_pushvalue(L, 1);
  ASSERT_NE(lua_pcall(L, 1, 0, 0), 0);
  EXPECT_NE(
      std::string(lua_tostring(L, -1)).find("a map of depth 1 expected, got a volume of 2 x 3 x 4"),
      std::string::npos);
  lua_settop(L, 1);
  // A plane is a volume of depth 1.
  PushNewMap(L, 2, 3);
  lua_replace(L, 1);
  EXPECT_EQ(RunOnMap(L, "local m = ... assert(m:depth() == 1 and tostring(m) == 'map (2 x 3)')"),
            "");
  lua_pushcfunction(L, CheckPlaneCall);
  lua_pushvalue(L, 1);
  EXPECT_EQ(lua_pcall(L, 1, 0, 0), 0);
}

TEST_F(MapUserdata, OnlyARealImagePasses) {
  lua_getglobal(L, "newimage");
  lua_pushnumber(L, 4);
  lua_pushnumber(L, 3);
  lua_call(L, 2, 1);
  vessa::ImageBuffer* image = vessa::TestImage(L, 1);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 4u);
  EXPECT_EQ(image->height, 3u);
  PushForgery(sizeof(vessa::ImageBuffer) + 1);
  EXPECT_EQ(vessa::TestImage(L, -1), nullptr);
  PushNewMap(L, 1, 1);
  EXPECT_EQ(vessa::TestImage(L, -1), nullptr);
  EXPECT_EQ(lua_gettop(L), 3);
}

}  // namespace
}  // namespace noisebind::maps
