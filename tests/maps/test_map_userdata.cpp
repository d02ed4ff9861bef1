// The map userdata and the image accessor as other C++ code sees them: only
// the real thing passes, however it is forged.
#include <gtest/gtest.h>

#include <cstring>
#include <lua.hpp>
#include <string>

#include "engine/image/image_buffer.h"
#include "host/lua_compat.h"
#include "lua/image/image.h"
#include "lua/maps/map_userdata.h"
#include "lua/module/noise_table.h"

namespace noisebind::maps {
namespace {

class MapUserdata : public testing::Test {
 protected:
  void SetUp() override {
    L = luaL_newstate();
    luaL_openlibs(L);
    OpenMapType(L);
    lua_newtable(L);
    noisebind::image::OpenImageLibrary(L);
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
  // The map's metatable on a copy of its header, or on a userdata of
  // another size: refused, so that no values but a map's own are reached.
  const std::size_t header = vessa::RawLength(L, 1);
  PushForgery(header);
  std::memcpy(lua_touserdata(L, -1), lua_touserdata(L, 1), header);
  EXPECT_FALSE(TestMap(L, -1, &found));
  PushForgery(header + 8);
  EXPECT_FALSE(TestMap(L, -1, &found));
  PushForgery(4);
  EXPECT_FALSE(TestMap(L, -1, &found));
  lua_pushlightuserdata(L, made.values);
  EXPECT_FALSE(TestMap(L, -1, &found));
  lua_newtable(L);
  EXPECT_FALSE(TestMap(L, -1, &found));
  EXPECT_EQ(lua_gettop(L), 6);  // the tests leave the stack as it was
  // The finalizer on a forgery frees nothing (the copy's pointer is the
  // real map's, which must stay whole).
  lua_settop(L, 1);
  lua_gc(L, LUA_GCCOLLECT, 0);
  ASSERT_TRUE(TestMap(L, 1, &found));
  EXPECT_EQ(found.view().at(2, 1), 7.5);
}

// A map reached from a finalizer after its own has run is no map: its
// values are gone, and every method refuses it. Finalizers run in an order
// of creation, so one keeper made before the map and one after it see the
// map whole and after its finalizer, between them.
TEST_F(MapUserdata, AFinalizedMapIsRefused) {
  ASSERT_EQ(luaL_dostring(L, R"lua(
    seen = {}
    local keepers = {}
    function keeper()
      local k = newproxy(true)
      keepers[#keepers + 1] = k
      return function(m)
        getmetatable(k).__gc = function()
          local ok, result = pcall(m.get, m, 0, 0)
          seen[#seen + 1] = ok and result or tostring(result)
        end
      end
    end
    function forget() keepers = nil end
  )lua"),
            0)
      << lua_tostring(L, -1);
  ASSERT_EQ(luaL_dostring(L, "before = keeper()"), 0);
  PushNewMap(L, 1, 1).values[0] = 4.5;
  lua_setglobal(L, "m");
  ASSERT_EQ(
      luaL_dostring(L, "after = keeper(); before(m); after(m); m, before, after = nil; forget()"),
      0)
      << lua_tostring(L, -1);
  lua_gc(L, LUA_GCCOLLECT, 0);
  lua_gc(L, LUA_GCCOLLECT, 0);
  ASSERT_EQ(luaL_dostring(L, "return seen[1], seen[2]"), 0);
  int refused = 0;
  for (int i = -2; i <= -1; ++i) {
    if (lua_type(L, i) == LUA_TNUMBER) {
      EXPECT_EQ(lua_tonumber(L, i), 4.5);
    } else {
      ASSERT_EQ(lua_type(L, i), LUA_TSTRING);
      EXPECT_NE(std::string(lua_tostring(L, i)).find("map expected, got userdata"),
                std::string::npos)
          << lua_tostring(L, i);
      ++refused;
    }
  }
  EXPECT_GE(refused, 1);
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

// A host that reads any userdata as a proxy of its own (LÖVE 11: a type
// pointer, then an object pointer) must find null in both words of each of
// ours: images, maps, and noise objects of every class.
TEST(UserdataGuard, EveryUserdataStartsWithTwoZeroWords) {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  lua_pushcfunction(L, module::OpenNoiseTable);
  ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0) << lua_tostring(L, -1);
  lua_setglobal(L, "noise");
  ASSERT_EQ(luaL_dostring(L, R"lua(
    local made = { noise.image.new(2, 2), noise.planemap(noise.Const(), { 0, 1, 0, 1 }, 2, 2) }
    for name, f in pairs(noise) do
      if type(f) == "function" and name:match("^%u") then made[#made + 1] = f() end
    end
    return made
  )lua"),
            0)
      << lua_tostring(L, -1);
  const int count = static_cast<int>(vessa::RawLength(L, -1));
  EXPECT_GT(count, 20);
  for (int i = 1; i <= count; ++i) {
    lua_rawgeti(L, -1, i);
    ASSERT_EQ(lua_type(L, -1), LUA_TUSERDATA) << i;
    ASSERT_GE(vessa::RawLength(L, -1), 2 * sizeof(void*));
    void* words[2];
    std::memcpy(words, lua_touserdata(L, -1), sizeof words);
    EXPECT_EQ(words[0], nullptr) << "value " << i;
    EXPECT_EQ(words[1], nullptr) << "value " << i;
    lua_settop(L, 1);
  }
  lua_close(L);
}

TEST_F(MapUserdata, OnlyARealImagePasses) {
  lua_getglobal(L, "newimage");
  lua_pushnumber(L, 4);
  lua_pushnumber(L, 3);
  lua_call(L, 2, 1);
  noisebind::image::ImageBuffer* image = noisebind::image::TestImage(L, 1);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 4u);
  EXPECT_EQ(image->height, 3u);
  PushForgery(sizeof(noisebind::image::ImageBuffer) + 1);
  EXPECT_EQ(noisebind::image::TestImage(L, -1), nullptr);
  PushNewMap(L, 1, 1);
  EXPECT_EQ(noisebind::image::TestImage(L, -1), nullptr);
  EXPECT_EQ(lua_gettop(L), 3);
}

}  // namespace
}  // namespace noisebind::maps
