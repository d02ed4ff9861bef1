// The map userdata and the image accessor as other C++ code sees them: only
// the real thing passes, however it is forged.
#include <gtest/gtest.h>

#include <cstring>
#include <lua.hpp>

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
