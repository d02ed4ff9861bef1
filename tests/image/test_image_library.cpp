// The `image` table as scripts use it, in a bare Lua state.
#include <gtest/gtest.h>

#include <lua.hpp>
#include <string>

#include "lua/image/image.h"
#include "png_reader.h"
#include "scratch_directory.h"

namespace {

using vessa_test::ReadPng;
using vessa_test::RgbPicture;
using vessa_test::ScratchDirectory;

class ImageLibrary : public testing::Test {
 protected:
  ImageLibrary() : m_L(luaL_newstate()) {
    luaL_openlibs(m_L);
    lua_newtable(m_L);
    lua_pushcfunction(m_L, noisebind::image::OpenImageLibrary);
    lua_pushvalue(m_L, -2);
    lua_call(m_L, 1, 0);
    lua_getfield(m_L, -1, "image");
    lua_setglobal(m_L, "image");
    lua_pop(m_L, 1);
  }
  ~ImageLibrary() override { lua_close(m_L); }

  // The error message, or "" when the code ran through.
  std::string Run(const std::string& code) {
    std::string error;
    if (luaL_loadstring(m_L, code.c_str()) != 0 || lua_pcall(m_L, 0, 0, 0) != 0) {
      error = lua_tostring(m_L, -1);
      lua_pop(m_L, 1);
    }
    return error;
  }

  void SetGlobal(const char* name, const std::string& value) {
    lua_pushstring(m_L, value.c_str());
    lua_setglobal(m_L, name);
  }

  lua_State* m_L;
};

TEST_F(ImageLibrary, PixelsSetFromLuaComeBackFromTheFile) {
  ScratchDirectory directory;
  SetGlobal("path", directory.File("round.png"));
  ASSERT_EQ(Run(R"lua(
    local img = image.new(3, 2)
    img:set(0, 0, 255, 0, 0)
    img:set(1, 0, 0, 255, 0)
    img:set(2, 0, 0, 0, 255)
    img:set(0, 1, 127.5)                  -- grey, half rounds up
    img:set(1, 1, -20, 300, 1 / 0)        -- clamped
    img:set(2, 1, 10.49, 10.5, 254.5)
    img:save(path)
  )lua"),
            "");
  RgbPicture picture;
  std::string error;
  ASSERT_TRUE(ReadPng(directory.File("round.png"), &picture, &error)) << error;
  ASSERT_EQ(picture.width, 3u);
  ASSERT_EQ(picture.height, 2u);
  const std::vector<unsigned char> expected = {
      255, 0,   0,   0, 255, 0,   0,  0,  255,  // the first row
      128, 128, 128, 0, 255, 255, 10, 11, 255,
  };
  EXPECT_EQ(picture.pixels, expected);
}

// The collector sees the pixels, so a loop of temporary images keeps only a
// few alive at a time, and a full collection releases them all; the sanitizer
// builds catch a leak or a double free here, including at the state's close.
TEST_F(ImageLibrary, CollectedImagesReleaseTheirPixels) {
  EXPECT_EQ(Run(R"lua(
    local alive, most = setmetatable({}, { __mode = "k" }), 0
    for i = 1, 60 do
      local img = image.new(1024, 1024)
      img:set(0, 0, i)
      alive[img] = true
      local count = 0
      for _ in pairs(alive) do count = count + 1 end
      most = math.max(most, count)
    end
    assert(most <= 4, most .. " images of 3 MB alive at once")
    collectgarbage()
    collectgarbage()
    assert(next(alive) == nil, "an image outlived a full collection")
    kept = image.new(8, 8)
  )lua"),
            "");
}

}  // namespace
