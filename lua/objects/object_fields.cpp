// The settings of noise objects as fields: obj.octaves, obj.octaves = 4, and
// the constructors' tables of settings.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <lua.hpp>

#include "engine/graph/classes.h"
#include "engine/graph/curve_terrace_points.h"
#include "engine/graphfile/graph_file.h"
#include "host/lua_compat.h"
#include "lua/objects/object_binding.h"

namespace noisebind::objects {
namespace {

// The names a quality is given, in libnoise's order (0 fast, 1 standard,
// 2 best); the numbers 1 to 3 of LibNoise.C_QUALITY_* are taken too.
constexpr const char* kQualities[] = {"fast", "standard", "best"};
constexpr char kPoints[] = "points";
// The user's name of every object, kept in graph files as its id: a field
// of its own, told apart by its address.
constexpr Field kNameField = {"name", FieldType::kNumber, nullptr, nullptr, "", 0, 0};
constexpr char kSeed[] = "seed";
constexpr double kTwoTo31 = 2147483648.0;
constexpr double kTwoTo32 = 4294967296.0;

// A seed: any finite number, truncated toward zero and reduced modulo 2^32
// into the 32-bit range, as libnoise's own seed sums wrap, so that 64-bit
// seeds (a game's world seed) stay distinct where the low 32 bits differ.
// Every step is exact in doubles.
double ReducedSeed(double value) {
  double reduced = std::fmod(std::trunc(value), kTwoTo32);
  if (reduced >= kTwoTo31) reduced -= kTwoTo32;
  if (reduced < -kTwoTo31) reduced += kTwoTo32;
  return reduced;
}

bool HasPoints(const Node& node) {
  return node.kind() == Kind::kCurve || node.kind() == Kind::kTerrace;
}

// Raises "Perlin has no field 'octave'" unless the key at `key` names a
// field or the control points; gives the field, or null for the points.
const Field* CheckFieldName(lua_State* L, const Node& node, int key) {
  if (lua_type(L, key) != LUA_TSTRING) {
    luaL_error(L, "%s has no field %s (fields are named by strings)", node.name(),
               luaL_typename(L, key));
  }
  const char* name = lua_tostring(L, key);
  if (const Field* field = FindField(ClassOf(node.kind()), name)) return field;
  if (std::strcmp(name, kNameField.name) == 0) return &kNameField;
  if (HasPoints(node) && std::strcmp(name, kPoints) == 0) return nullptr;
  luaL_error(L, "%s has no field '%s'", node.name(), name);
  return nullptr;
}

int RaiseType(lua_State* L, const Node& node, const char* field, const char* expected, int value) {
  return luaL_error(L, "%s.%s must be %s, got %s", node.name(), field, expected,
                    luaL_typename(L, value));
}

int RaiseRefused(lua_State* L, const Node& node, const Field& field, const char* reason,
                 double value) {
  return luaL_error(L, "%s.%s %s, got %s", node.name(), field.name, reason,
                    PushNumberText(L, value));
}

int QualityFromName(const char* name) {
  for (std::size_t i = 0; i < std::size(kQualities); ++i) {
    if (std::strcmp(name, kQualities[i]) == 0) return static_cast<int>(i);
  }
  return -1;
}

// The value at `value` for `field` as the double the engine takes; raises
// when its type is wrong (or a quality is unknown).
double ReadFieldValue(lua_State* L, const Node& node, const Field& field, int value) {
  value = vessa::AbsoluteIndex(L, value);
  switch (field.type) {
    case FieldType::kBoolean:
      if (lua_type(L, value) != LUA_TBOOLEAN) RaiseType(L, node, field.name, "a boolean", value);
      return lua_toboolean(L, value) ? 1.0 : 0.0;
    case FieldType::kQuality: {
      int quality = -1;
      if (lua_type(L, value) == LUA_TSTRING) {
        quality = QualityFromName(lua_tostring(L, value));
      } else if (lua_type(L, value) == LUA_TNUMBER) {
        const double code = lua_tonumber(L, value);
        if (code == 1.0 || code == 2.0 || code == 3.0) quality = static_cast<int>(code) - 1;
      }
      if (quality < 0) {
        lua_pushvalue(L, value);
        luaL_error(L, "%s.%s must be 'fast', 'standard' or 'best' (or 1 to 3), got %s", node.name(),
                   field.name,
                   lua_type(L, value) == LUA_TSTRING || lua_type(L, value) == LUA_TNUMBER
                       ? lua_tostring(L, -1)
                       : luaL_typename(L, value));
      }
      return quality;
    }
    default: {
      if (lua_type(L, value) != LUA_TNUMBER) RaiseType(L, node, field.name, "a number", value);
      const double number = lua_tonumber(L, value);
      if (std::strcmp(field.name, kSeed) != 0) return number;
      if (!std::isfinite(number)) RaiseRefused(L, node, field, "must be a finite number", number);
      return ReducedSeed(number);
    }
  }
}

void PushFieldValue(lua_State* L, const Node& node, const Field& field) {
  const double value = field.get(node);
  switch (field.type) {
    case FieldType::kBoolean:
      lua_pushboolean(L, value != 0.0);
      break;
    case FieldType::kQuality:
      lua_pushstring(L, QualityName(static_cast<int>(value)));
      break;
    case FieldType::kInteger:
      lua_pushinteger(L, static_cast<lua_Integer>(value));
      break;
    default:
      lua_pushnumber(L, value);
      break;
  }
}

// A new list of the control points: {{input, output}, ...} for a Curve,
// {value, ...} for a Terrace. The points are copied before the first
// allocation: a finalizer run by one may change or clear them, and the list
// shows them as they were when read.
void PushPoints(lua_State* L, const Node& node) {
  const bool curve = node.kind() == Kind::kCurve;
  // Inputs, then outputs; a plain array, as a Lua error may pass over it.
  double points[2 * kMaxControlPoints];
  const std::size_t count =
      std::min(curve ? CurvePointCount(node) : TerracePointCount(node), kMaxControlPoints);
  for (std::size_t i = 0; i < count; ++i) {
    if (curve) {
      CurvePoint(node, i, &points[i], &points[kMaxControlPoints + i]);
    } else {
      points[i] = TerracePoint(node, i);
    }
  }
  lua_createtable(L, static_cast<int>(count), 0);
  for (std::size_t i = 0; i < count; ++i) {
    if (curve) {
      lua_createtable(L, 2, 0);
      lua_pushnumber(L, points[i]);
      lua_rawseti(L, -2, 1);
      lua_pushnumber(L, points[kMaxControlPoints + i]);
      lua_rawseti(L, -2, 2);
    } else {
      lua_pushnumber(L, points[i]);
    }
    lua_rawseti(L, -2, static_cast<int>(i) + 1);
  }
}

// Reads number `index` of the table at `table` into `out`, or raises.
void ReadListNumber(lua_State* L, const Node& node, int table, int index, double* out) {
  lua_rawgeti(L, table, index);
  if (lua_type(L, -1) != LUA_TNUMBER) {
    luaL_error(L, "%s.points must be a list of %s, item %d is %s", node.name(),
               node.kind() == Kind::kCurve ? "{input, output} pairs" : "numbers", index,
               luaL_typename(L, -1));
  }
  *out = lua_tonumber(L, -1);
  lua_pop(L, 1);
}

// Replaces the control points with the list at `value`, or changes
// nothing. The numbers go to a scratch userdata, which the collector frees.
void SetPoints(lua_State* L, Node& node, int value) {
  const bool curve = node.kind() == Kind::kCurve;
  if (!lua_istable(L, value)) {
    RaiseType(L, node, kPoints, curve ? "a list of {input, output} pairs" : "a list of numbers",
              value);
  }
  value = vessa::AbsoluteIndex(L, value);
  const std::size_t count = vessa::RawLength(L, value);
  if (count > kMaxControlPoints) {
    luaL_error(L, "%s.points would be more than %d control points", node.name(),
               static_cast<int>(kMaxControlPoints));
  }
  auto* numbers = static_cast<double*>(lua_newuserdata(L, sizeof(double) * (2 * count + 1)));
  double* outputs = numbers + count;
  for (std::size_t i = 0; i < count; ++i) {
    const int item = static_cast<int>(i) + 1;
    if (!curve) {
      ReadListNumber(L, node, value, item, &numbers[i]);
      continue;
    }
    lua_rawgeti(L, value, item);
    if (!lua_istable(L, -1)) {
      luaL_error(L, "%s.points must be a list of {input, output} pairs, item %d is %s", node.name(),
                 item, luaL_typename(L, -1));
    }
    const int pair = lua_gettop(L);
    ReadListNumber(L, node, pair, 1, &numbers[i]);
    ReadListNumber(L, node, pair, 2, &outputs[i]);
    lua_pop(L, 1);
  }
  const char* refused = curve ? SetCurvePoints(node, numbers, outputs, count)
                              : SetTerracePoints(node, numbers, count);
  if (refused != nullptr) luaL_error(L, "%s.points %s", node.name(), refused);
  lua_pop(L, 1);
}

// The name from the string at `value`, or none for nil.
void SetName(lua_State* L, Node& node, int value) {
  std::size_t length = 0;
  const char* name = "";
  if (!lua_isnil(L, value)) {
    if (lua_type(L, value) != LUA_TSTRING) RaiseType(L, node, "name", "a string or nil", value);
    name = lua_tolstring(L, value, &length);
    if (const char* refused = graphfile::CheckName({name, length})) {
      luaL_error(L, "%s.name %s", node.name(), refused);
    }
  }
  if (!node.SetLabel({name, length})) luaL_error(L, "%s.name: not enough memory", node.name());
}

// Sets one field from the value at `value`; raises when refused.
void SetOne(lua_State* L, Node& node, const Field* field, int value) {
  if (field == nullptr) {
    SetPoints(L, node, value);
    return;
  }
  if (field == &kNameField) {
    SetName(L, node, value);
    return;
  }
  const double number = ReadFieldValue(L, node, *field, value);
  if (const char* refused = SetField(node, *field, number)) {
    RaiseRefused(L, node, *field, refused, number);
  }
}

}  // namespace

// The __index fallback: obj.field, after the methods.
int GetFieldMeta(lua_State* L) {
  const NoiseObject* object = CheckSelf(L);
  const Field* field = CheckFieldName(L, *object->node, 2);
  if (field == nullptr) {
    PushPoints(L, *object->node);
  } else if (field == &kNameField) {
    // Copied first: a finalizer run by the string's allocation may rename.
    char name[graphfile::kMaxNameBytes];
    const std::size_t length = object->node->label().copy(name, sizeof name);
    if (length == 0) {
      lua_pushnil(L);
    } else {
      lua_pushlstring(L, name, length);
    }
  } else {
    PushFieldValue(L, *object->node, *field);
  }
  return 1;
}

// obj.field = value
int SetFieldMeta(lua_State* L) {
  NoiseObject* object = CheckSelf(L);
  const Field* field = CheckFieldName(L, *object->node, 2);
  SetOne(L, *object->node, field, 3);
  return 0;
}

// The constructor's table, read raw (its own entries, as the names checked):
// every key must name a field. Fields are set in
// the class's order, whatever the table's; a setting refused only because
// of another one (Clamp's lower above the default upper, say) is tried
// again once the others are set.
void ApplySettings(lua_State* L, NoiseObject* object, int table) {
  Node& node = *object->node;
  table = vessa::AbsoluteIndex(L, table);
  lua_pushnil(L);
  while (lua_next(L, table) != 0) {
    CheckFieldName(L, node, -2);
    lua_pop(L, 1);
  }
  const ClassInfo& info = ClassOf(node.kind());
  const Field* retry[8];
  std::size_t retries = 0;
  for (std::size_t i = 0; i < info.fieldCount; ++i) {
    const Field& field = info.fields[i];
    vessa::RawField(L, table, field.name);
    if (!lua_isnil(L, -1)) {
      const double number = ReadFieldValue(L, node, field, -1);
      if (SetField(node, field, number) != nullptr && retries < std::size(retry)) {
        retry[retries++] = &field;
      }
    }
    lua_pop(L, 1);
  }
  for (std::size_t i = 0; i < retries; ++i) {
    vessa::RawField(L, table, retry[i]->name);
    SetOne(L, node, retry[i], -1);
    lua_pop(L, 1);
  }
  if (HasPoints(node)) {
    vessa::RawField(L, table, kPoints);
    if (!lua_isnil(L, -1)) SetPoints(L, node, -1);
    lua_pop(L, 1);
  }
  vessa::RawField(L, table, kNameField.name);
  if (!lua_isnil(L, -1)) SetName(L, node, -1);
  lua_pop(L, 1);
}

}  // namespace noisebind::objects
