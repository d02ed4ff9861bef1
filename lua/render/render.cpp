#include "lua/render/render.h"

#include <limits>
#include <lua.hpp>

#include "engine/render/render_image.h"
#include "host/lua_args.h"
#include "host/lua_compat.h"
#include "lua/image/image.h"
#include "lua/maps/map_args.h"
#include "lua/maps/map_userdata.h"
#include "lua/render/heightmap_methods.h"

// Nothing here keeps a C++ object with a destructor alive where a Lua error
// may be raised: gradient stops live in a userdata on the stack, and the
// engine's functions return a status.
namespace noisebind::render {
namespace {

using maps::ArgumentError;
using maps::MapRef;

constexpr char kStopShape[] = "{value, red, green, blue [, alpha]}";

// The image at `index`, of the map's size.
noisebind::image::ImageBuffer* CheckImageFor(lua_State* L, int index, const MapRef& map) {
  noisebind::image::ImageBuffer* image = noisebind::image::TestImage(L, index);
  if (image == nullptr) vessa::TypeError(L, index, "image");
  if (image->width != map.width || image->height != map.height) {
    ArgumentError(L, index, "the image is %d x %d, the map %d x %d", static_cast<int>(image->width),
                  static_cast<int>(image->height), static_cast<int>(map.width),
                  static_cast<int>(map.height));
  }
  return image;
}

// Item `item` of the stop table on top: a finite number.
double StopItem(lua_State* L, int options, int stop, int item, double fallback) {
  lua_rawgeti(L, -1, item);
  const int type = lua_type(L, -1);
  const double value = lua_tonumber(L, -1);
  if (type == LUA_TNIL && fallback == fallback) {
    lua_pop(L, 1);
    return fallback;
  }
  if (type != LUA_TNUMBER || value - value != 0.0) {
    ArgumentError(L, options, "gradient stop %d: item %d must be a finite number, got %s", stop,
                  item, type == LUA_TNUMBER ? lua_tostring(L, -1) : luaL_typename(L, -1));
  }
  lua_pop(L, 1);
  return value;
}

// options.gradient: stops in increasing order of value, at least one. The
// stops go in a userdata pushed on the stack, which keeps them.
const GradientStop* CheckGradient(lua_State* L, int options, std::size_t* count) {
  vessa::RawField(L, options, "gradient");
  if (!lua_istable(L, -1)) {
    ArgumentError(L, options, "option 'gradient' must be a table of stops %s, got %s", kStopShape,
                  luaL_typename(L, -1));
  }
  const int gradient = lua_gettop(L);
  *count = vessa::RawLength(L, gradient);
  if (*count == 0) ArgumentError(L, options, "the gradient has no stops");
  auto* stops = static_cast<GradientStop*>(lua_newuserdata(L, *count * sizeof(GradientStop)));
  for (std::size_t i = 0; i < *count; ++i) {
    const int stop = static_cast<int>(i + 1);
    lua_rawgeti(L, gradient, stop);
    if (!lua_istable(L, -1)) {
      ArgumentError(L, options, "gradient stop %d must be a table %s, got %s", stop, kStopShape,
                    luaL_typename(L, -1));
    }
    const double nan = 0.0 / 0.0;
    stops[i] = GradientStop{
        StopItem(L, options, stop, 1, nan),
        Colour{StopItem(L, options, stop, 2, nan), StopItem(L, options, stop, 3, nan),
               StopItem(L, options, stop, 4, nan), StopItem(L, options, stop, 5, 255.0)}};
    lua_pop(L, 1);
    if (i > 0 && !(stops[i].value > stops[i - 1].value)) {
      ArgumentError(L, options,
                    "gradient stops out of order: stop %d (%f) must be above stop %d (%f)", stop,
                    stops[i].value, stop - 1, stops[i - 1].value);
    }
  }
  return stops;
}

// options.light: absent or false for none, true for the default light, or
// a table of its settings. The scale comes from the map's size and its
// extent, unless given.
bool CheckLight(lua_State* L, int options, const MapRef& map, Light* light) {
  light->scale = LightScale(map.width, map.height, kDefaultLightExtent);
  vessa::RawField(L, options, "light");
  const int index = lua_gettop(L);
  if (lua_isnil(L, index) || (lua_isboolean(L, index) && !lua_toboolean(L, index))) return false;
  if (lua_isboolean(L, index)) return true;
  if (!lua_istable(L, index)) {
    ArgumentError(L, options, "option 'light' must be a table or a boolean, got %s",
                  luaL_typename(L, index));
  }
  const maps::OptionTable table{index, options, "light option"};
  constexpr const char* kNames[] = {"azimuth", "elevation", "contrast", "brightness", "scale",
                                    "extent",  "water",     "model",    "color",      nullptr};
  maps::CheckOptionNames(L, table, kNames);
  for (const LightSetting& setting : kLightSettings) {
    double& value = light->*setting.member;
    value = maps::OptionNumber(L, table, setting.name, value, setting.low, setting.high);
  }
  light->formula =
      static_cast<LightFormula>(maps::OptionChoice(L, table, "model", kLightModels, 0));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double scale = maps::OptionNumber(L, table, "scale", nan, kLightScaleLow, kLightScaleHigh);
  const double extent =
      maps::OptionNumber(L, table, "extent", nan, kLightExtentLow, kLightExtentHigh);
  if (const char* why = ResolveLightScale(light, map.width, map.height, scale, extent)) {
    ArgumentError(L, options, "light options %s", why);
  }
  vessa::RawField(L, index, "color");
  if (!lua_isnil(L, -1)) {
    double rgb[3];
    maps::CheckNumbers(L, lua_gettop(L), "light color {red, green, blue}", 3, rgb, options);
    light->colour = Colour{rgb[0], rgb[1], rgb[2], 255.0};
  }
  return true;
}

// Options at `index` (nil or a table), with the names each function takes.
bool CheckOptions(lua_State* L, int index, const char* const* names, bool required) {
  if (lua_isnoneornil(L, index) && !required) return false;
  if (!lua_istable(L, index)) vessa::TypeError(L, index, "table of options");
  maps::CheckOptionNames(L, maps::OptionTable{index, index, "option"}, names);
  return true;
}

// render(map, image, {gradient = stops [, light = ...] [, wrap = false]}):
// draws the map into the image. Gives the image.
int Render(lua_State* L) {
  const MapRef map = maps::CheckPlane(L, 1);
  noisebind::image::ImageBuffer* image = CheckImageFor(L, 2, map);
  constexpr const char* kNames[] = {"gradient", "light", "wrap", nullptr};
  CheckOptions(L, 3, kNames, true);
  ColourRendering rendering{};
  rendering.stops = CheckGradient(L, 3, &rendering.count);
  Light light;
  if (CheckLight(L, 3, map, &light)) rendering.light = &light;
  rendering.wrap = maps::OptionBoolean(L, maps::OptionTable{3, 3, "option"}, "wrap", false);
  RenderColours(map.view(), rendering, image);
  lua_settop(L, 2);
  return 1;
}

// normalmap(map, image [, {bump = 1, wrap = false}]): the map's normals
// into the image. Gives the image.
int NormalMap(lua_State* L) {
  const MapRef map = maps::CheckPlane(L, 1);
  noisebind::image::ImageBuffer* image = CheckImageFor(L, 2, map);
  constexpr const char* kNames[] = {"bump", "wrap", nullptr};
  double bump = 1.0;
  bool wrap = false;
  if (CheckOptions(L, 3, kNames, false)) {
    const maps::OptionTable options{3, 3, "option"};
    bump = maps::OptionNumber(L, options, "bump", bump, -1e6, 1e6);
    wrap = maps::OptionBoolean(L, options, "wrap", false);
  }
  RenderNormals(map.view(), bump, wrap, image);
  lua_settop(L, 2);
  return 1;
}

const luaL_Reg kFunctions[] = {
    {"render", Render},
    {"normalmap", NormalMap},
    {nullptr, nullptr},
};

}  // namespace

int OpenRenderLibrary(lua_State* L) {
  lua_settop(L, 1);
  vessa::SetFunctions(L, kFunctions, 0);
  vessa::NameFunctions(L, 1, false);
  maps::PushMapMethods(L);
  AddHeightmapMethods(L);
  vessa::NameFunctions(L, -1, true);
  lua_pop(L, 1);
  return 0;
}

}  // namespace noisebind::render
