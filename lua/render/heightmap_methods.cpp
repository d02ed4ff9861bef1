#include "lua/render/heightmap_methods.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <lua.hpp>

#include "engine/render/heightmap_files.h"
#include "host/lua_args.h"
#include "host/lua_compat.h"
#include "host/lua_userdata.h"
#include "lua/maps/map_args.h"
#include "lua/maps/map_userdata.h"

// Every function here raises Lua errors, so none keeps a C++ object with a
// destructor alive: the engine's functions return a status, and bytes made
// for a string are freed by vessa::PushMadeString.
namespace noisebind::render {
namespace {

using maps::ArgumentError;
using maps::MapRef;

constexpr int kReasonSize = 256;

struct FormatName {
  const char* name;
  RawFormat format;
};

constexpr FormatName kFormats[] = {
    {"f32", RawFormat::kFloat32},
    {"f64", RawFormat::kFloat64},
    {"u16", RawFormat::kLevel16},
    {"u8", RawFormat::kLevel8},
};
constexpr char kFormatChoice[] = "format must be \"f32\", \"f64\", \"u16\" or \"u8\"";

const char* FormatNameOf(RawFormat format) {
  for (const FormatName& entry : kFormats) {
    if (entry.format == format) return entry.name;
  }
  return "?";
}

bool IsLevels(RawFormat format) {
  return format == RawFormat::kLevel16 || format == RawFormat::kLevel8;
}

// The range of levels at `index` and `index + 1`: both absent for the
// map's finite range, else finite with low below high.
void CheckLevelRange(lua_State* L, int index, const MapRef& map, double* low, double* high) {
  if (lua_isnoneornil(L, index) && lua_isnoneornil(L, index + 1)) {
    maps::FiniteRange(map.values, map.view().size(), low, high);
    return;
  }
  *low = maps::CheckFinite(L, index, "low");
  *high = maps::CheckFinite(L, index + 1, "high");
  if (!(*low < *high))
    ArgumentError(L, index + 1, "high must be above low (%f), got %f", *low, *high);
}

// The format at `index` ("f32" when absent) and, for levels, their range
// after it; floats take none.
RawEncoding CheckEncoding(lua_State* L, int index, const MapRef& map) {
  RawEncoding encoding{RawFormat::kFloat32, 0.0, 0.0};
  if (!lua_isnoneornil(L, index)) {
    if (lua_type(L, index) != LUA_TSTRING) {
      ArgumentError(L, index, "%s, got %s", kFormatChoice, luaL_typename(L, index));
    }
    const char* name = lua_tostring(L, index);
    const FormatName* found = nullptr;
    for (const FormatName& format : kFormats) {
      if (std::strcmp(format.name, name) == 0 && std::strlen(name) == vessa::RawLength(L, index)) {
        found = &format;
      }
    }
    if (found == nullptr) ArgumentError(L, index, "%s, got \"%s\"", kFormatChoice, name);
    encoding.format = found->format;
  }
  if (IsLevels(encoding.format)) {
    CheckLevelRange(L, index + 1, map, &encoding.low, &encoding.high);
  } else if (!lua_isnoneornil(L, index + 1) || !lua_isnoneornil(L, index + 2)) {
    ArgumentError(L, index + 1, "low and high are for \"u16\" and \"u8\" only");
  }
  return encoding;
}

struct RawBytesJob {
  maps::MapView map;
  RawEncoding encoding;
};

bool MakeRawBytes(const void* job, char** bytes, std::size_t* size, char* reason,
                  std::size_t reasonSize) {
  const auto& raw = *static_cast<const RawBytesJob*>(job);
  return EncodeRawBytes(raw.map, raw.encoding, bytes, size, reason, reasonSize);
}

struct PngJob {
  maps::MapView map;
  double low;
  double high;
};

bool MakePngBytes(const void* job, char** bytes, std::size_t* size, char* reason,
                  std::size_t reasonSize) {
  const auto& png = *static_cast<const PngJob*>(job);
  if (!EncodeGreyPng16(png.map, png.low, png.high, bytes, size, reason, reasonSize)) return false;
  if (*size <= vessa::kMaxStringBytes) return true;
  std::free(*bytes);
  std::snprintf(reason, reasonSize, "the PNG takes %zu bytes, above the longest string (%zu)",
                *size, vessa::kMaxStringBytes);
  return false;
}

// The bytes `make` makes, pushed as a string; a failure raised with its
// reason.
int PushBytes(lua_State* L, vessa::MakeBytes make, const void* job) {
  char reason[kReasonSize];
  if (!vessa::PushMadeString(L, make, job, reason, sizeof reason)) {
    return luaL_error(L, "%s", reason);
  }
  return 1;
}

// m:savepng(path [, low, high]): a 16-bit grey PNG, low as black and high
// as white; the map's finite range by default.
int SavePng(lua_State* L) {
  const MapRef map = maps::CheckPlane(L, 1);
  const char* path = vessa::CheckPath(L, 2);
  double low = 0.0;
  double high = 0.0;
  CheckLevelRange(L, 3, map, &low, &high);
  char reason[kReasonSize];
  if (!SaveGreyPng16(map.view(), low, high, path, reason, sizeof reason)) {
    ArgumentError(L, 2, "cannot write '%s': %s", path, reason);
  }
  return 0;
}

// m:encodepng([low, high]): the bytes savepng writes.
int EncodePng(lua_State* L) {
  const MapRef map = maps::CheckPlane(L, 1);
  PngJob job{map.view(), 0.0, 0.0};
  CheckLevelRange(L, 2, map, &job.low, &job.high);
  return PushBytes(L, MakePngBytes, &job);
}

// m:saveraw(path [, format [, low, high]]): raw values in the map's order;
// little-endian float32 by default.
int SaveRawMethod(lua_State* L) {
  const MapRef map = maps::CheckMap(L, 1);
  const char* path = vessa::CheckPath(L, 2);
  const RawEncoding encoding = CheckEncoding(L, 3, map);
  char reason[kReasonSize];
  if (!SaveRaw(map.view(), encoding, path, reason, sizeof reason)) {
    ArgumentError(L, 2, "cannot write '%s': %s", path, reason);
  }
  return 0;
}

// m:bytes([format [, low, high]]): what saveraw writes, as a string.
int Bytes(lua_State* L) {
  const MapRef map = maps::CheckMap(L, 1);
  const RawBytesJob job{map.view(), CheckEncoding(L, 2, map)};
  const double bytes = static_cast<double>(map.view().size()) *
                       static_cast<double>(RawValueBytes(job.encoding.format));
  if (bytes > static_cast<double>(vessa::kMaxStringBytes)) {
    ArgumentError(L, 2, "%s values of this map take %f bytes, above the longest string (%f)",
                  FormatNameOf(job.encoding.format), bytes,
                  static_cast<double>(vessa::kMaxStringBytes));
  }
  return PushBytes(L, MakeRawBytes, &job);
}

const luaL_Reg kMethods[] = {
    {"savepng", SavePng}, {"encodepng", EncodePng}, {"saveraw", SaveRawMethod},
    {"bytes", Bytes},     {nullptr, nullptr},
};

}  // namespace

void AddHeightmapMethods(lua_State* L) {
  vessa::SetFunctions(L, kMethods, 0);
}

}  // namespace noisebind::render
