#include "lua/image/image.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <lua.hpp>

#include "engine/image/image_buffer.h"
#include "engine/image/image_save.h"
#include "host/lua_args.h"
#include "host/lua_compat.h"
#include "host/lua_userdata.h"

// Every function here raises Lua errors, so none of them keeps an object
// with a destructor alive: the pixels live in the userdata, which the
// collector owns, and text goes through fixed buffers and the Lua stack.
namespace noisebind::image {
namespace {

constexpr char kTypeName[] = "image";
constexpr int kMetatable = lua_upvalueindex(1);
constexpr int kReasonSize = 256;
constexpr std::uint32_t kImageTag = 0x696d6167;  // "imag"

// The start of an image's userdata; its pixels follow, so that the collector
// counts them and nothing outside Lua needs freeing.
struct ImageUserdata {
  vessa::UserdataGuard guard;
  std::uint32_t tag;
  ImageBuffer image;  // image.pixels points just past this header
};

unsigned char* PixelsOf(ImageUserdata* data) {
  return reinterpret_cast<unsigned char*>(data + 1);
}
// Registry key of the metatable, for TestImage.
const char kMetatableKey = 0;

// The image at `index`, or null. A userdata given the image metatable (at
// `metatable`) through the debug library is told apart by its size and tag,
// so nothing here reads beyond it.
ImageBuffer* ToImage(lua_State* L, int index, int metatable) {
  std::size_t size = 0;
  auto* data = static_cast<ImageUserdata*>(
      vessa::TestUserdata(L, index, metatable, sizeof(ImageUserdata), &size));
  if (data == nullptr || data->tag != kImageTag ||
      !ImageSizeAllowed(data->image.width, data->image.height) ||
      size != sizeof(ImageUserdata) + ImagePixelBytes(data->image.width, data->image.height) ||
      data->image.pixels != PixelsOf(data)) {
    return nullptr;
  }
  return &data->image;
}

// Every function of the library holds the image metatable as its first
// upvalue.
ImageBuffer* CheckImage(lua_State* L) {
  ImageBuffer* image = ToImage(L, 1, kMetatable);
  if (image == nullptr) vessa::TypeError(L, 1, kTypeName);
  return image;
}

// A size from 1 to kMaxImageSide, checked as a double before conversion.
std::uint32_t CheckSide(lua_State* L, int index, const char* what) {
  const double value = vessa::CheckNumber(L, index);
  if (value >= 1.0 && value <= kMaxImageSide) {
    const auto side = static_cast<std::uint32_t>(value);
    if (side == value) return side;
  }
  vessa::ArgError(L, index,
                  lua_pushfstring(L, "%s must be an integer from 1 to %d, got %f", what,
                                  static_cast<int>(kMaxImageSide), value));
  return 0;
}

// A pixel coordinate from 0 to size - 1; NaN fails the range test.
std::uint32_t CheckCoordinate(lua_State* L, int index, std::uint32_t size, const char* axis) {
  const double value = vessa::CheckNumber(L, index);
  if (value >= 0.0 && value < size) {
    const auto coordinate = static_cast<std::uint32_t>(value);
    if (coordinate == value) return coordinate;
  }
  vessa::ArgError(L, index,
                  lua_pushfstring(L, "%s must be an integer from 0 to %d, got %f", axis,
                                  static_cast<int>(size) - 1, value));
  return 0;
}

unsigned char CheckComponent(lua_State* L, int index, const char* name) {
  const double value = vessa::CheckNumber(L, index);
  if (value != value) vessa::ArgError(L, index, lua_pushfstring(L, "%s is NaN", name));
  return ComponentFromNumber(value);
}

// image.new(width, height): a black image.
int New(lua_State* L) {
  const std::uint32_t width = CheckSide(L, 1, "width");
  const std::uint32_t height = CheckSide(L, 2, "height");
  if (!ImageSizeAllowed(width, height)) {
    vessa::ArgError(L, 2,
                    lua_pushfstring(L, "%d x %d pixels is too large an image (at most %d pixels)",
                                    static_cast<int>(width), static_cast<int>(height),
                                    static_cast<int>(kMaxImagePixels)));
  }
  const std::size_t bytes = ImagePixelBytes(width, height);
  auto* data =
      static_cast<ImageUserdata*>(vessa::NewLargeUserdata(L, sizeof(ImageUserdata) + bytes));
  if (data == nullptr) {
    vessa::ArgError(L, 2,
                    lua_pushfstring(L, "not enough memory for %d x %d pixels",
                                    static_cast<int>(width), static_cast<int>(height)));
  }
  *data = ImageUserdata{{}, kImageTag, ImageBuffer{width, height, PixelsOf(data)}};
  std::memset(data->image.pixels, 0, bytes);
  lua_pushvalue(L, kMetatable);
  lua_setmetatable(L, -2);
  return 1;
}

// img:set(x, y, r, g, b) or img:set(x, y, grey).
int Set(lua_State* L) {
  const ImageBuffer* image = CheckImage(L);
  const std::uint32_t x = CheckCoordinate(L, 2, image->width, "x");
  const std::uint32_t y = CheckCoordinate(L, 3, image->height, "y");
  unsigned char* pixel = PixelAt(*image, x, y);
  if (lua_isnone(L, 5)) {
    const unsigned char grey = CheckComponent(L, 4, "grey value");
    pixel[0] = pixel[1] = pixel[2] = grey;
    return 0;
  }
  // All three are checked before any is stored.
  const unsigned char red = CheckComponent(L, 4, "red");
  const unsigned char green = CheckComponent(L, 5, "green");
  const unsigned char blue = CheckComponent(L, 6, "blue");
  pixel[0] = red;
  pixel[1] = green;
  pixel[2] = blue;
  return 0;
}

// img:get(x, y): r, g, b.
int Get(lua_State* L) {
  const ImageBuffer* image = CheckImage(L);
  const std::uint32_t x = CheckCoordinate(L, 2, image->width, "x");
  const std::uint32_t y = CheckCoordinate(L, 3, image->height, "y");
  const unsigned char* pixel = PixelAt(*image, x, y);
  lua_pushinteger(L, pixel[0]);
  lua_pushinteger(L, pixel[1]);
  lua_pushinteger(L, pixel[2]);
  return 3;
}

int Width(lua_State* L) {
  lua_pushinteger(L, static_cast<lua_Integer>(CheckImage(L)->width));
  return 1;
}

int Height(lua_State* L) {
  lua_pushinteger(L, static_cast<lua_Integer>(CheckImage(L)->height));
  return 1;
}

// img:save(path): a PNG file, whole or not at all.
int Save(lua_State* L) {
  const ImageBuffer* image = CheckImage(L);
  const char* path = vessa::CheckPath(L, 2);
  char reason[kReasonSize];
  if (!SaveImage(*image, path, reason, sizeof reason)) {
    vessa::ArgError(L, 2, lua_pushfstring(L, "cannot write '%s': %s", path, reason));
  }
  return 0;
}

// Makes the pixels as RGBA bytes, for img:bytes.
bool MakeRgba(const void* job, char** bytes, std::size_t* size, char* reason,
              std::size_t reasonSize) {
  const auto& image = *static_cast<const ImageBuffer*>(job);
  *size = std::size_t{image.width} * image.height * 4;
  *bytes = static_cast<char*>(std::malloc(*size));
  if (*bytes == nullptr) {
    std::snprintf(reason, reasonSize, "not enough memory");
    return false;
  }
  PixelsAsRgba(image, reinterpret_cast<unsigned char*>(*bytes));
  return true;
}

// Makes the PNG file's bytes, for img:encode.
bool MakePng(const void* job, char** bytes, std::size_t* size, char* reason,
             std::size_t reasonSize) {
  if (!EncodeImage(*static_cast<const ImageBuffer*>(job), bytes, size, reason, reasonSize)) {
    return false;
  }
  if (*size <= vessa::kMaxStringBytes) return true;
  std::free(*bytes);
  std::snprintf(reason, reasonSize, "the PNG takes %zu bytes, above the longest string (%zu)",
                *size, vessa::kMaxStringBytes);
  return false;
}

// img:bytes() and img:encode(): the pixels as a string, made by `make`.
int PushImageBytes(lua_State* L, vessa::MakeBytes make) {
  const ImageBuffer* image = CheckImage(L);
  char reason[kReasonSize];
  if (!vessa::PushMadeString(L, make, image, reason, sizeof reason)) {
    return luaL_error(L, "%s", reason);
  }
  return 1;
}

// img:bytes(): RGBA8 rows from the top, alpha 255.
int Bytes(lua_State* L) {
  return PushImageBytes(L, MakeRgba);
}

// img:encode(): the bytes img:save would write.
int Encode(lua_State* L) {
  return PushImageBytes(L, MakePng);
}

int ToString(lua_State* L) {
  const ImageBuffer* image = CheckImage(L);
  lua_pushfstring(L, "image (%d x %d)", static_cast<int>(image->width),
                  static_cast<int>(image->height));
  return 1;
}

struct Function {
  const char* name;
  lua_CFunction function;
};

constexpr Function kMethods[] = {
    {"set", Set},   {"get", Get},     {"width", Width},   {"height", Height},
    {"save", Save}, {"bytes", Bytes}, {"encode", Encode},
};

constexpr Function kMetamethods[] = {
    {"__tostring", ToString},
};

// Stores closures over the metatable (at `metatable`) in the table on top.
void StoreClosures(lua_State* L, int metatable, const Function* functions, int count) {
  for (int i = 0; i < count; ++i) {
    lua_pushvalue(L, metatable);
    lua_pushcclosure(L, functions[i].function, 1);
    lua_setfield(L, -2, functions[i].name);
  }
}

}  // namespace

ImageBuffer* TestImage(lua_State* L, int index) {
  index = vessa::AbsoluteIndex(L, index);
  vessa::GetRegistryValue(L, &kMetatableKey);
  ImageBuffer* image = ToImage(L, index, lua_gettop(L));
  lua_pop(L, 1);
  return image;
}

int OpenImageLibrary(lua_State* L) {
  lua_newtable(L);
  const int metatable = lua_gettop(L);
  lua_pushvalue(L, metatable);
  vessa::SetRegistryValue(L, &kMetatableKey);
  StoreClosures(L, metatable, kMetamethods, static_cast<int>(std::size(kMetamethods)));
  lua_createtable(L, 0, static_cast<int>(std::size(kMethods)));
  StoreClosures(L, metatable, kMethods, static_cast<int>(std::size(kMethods)));
  vessa::NameFunctions(L, -1, true);
  lua_setfield(L, metatable, "__index");
  // Scripts see this name instead of the metatable, so they cannot change
  // the methods of every image.
  lua_pushstring(L, kTypeName);
  lua_setfield(L, metatable, "__metatable");

  lua_createtable(L, 0, 1);
  lua_pushvalue(L, metatable);
  lua_pushcclosure(L, New, 1);
  lua_setfield(L, -2, "new");
  vessa::NameFunctions(L, -1, false);
  lua_setfield(L, 1, "image");
  lua_pop(L, 1);
  return 0;
}

}  // namespace noisebind::image
