#include "lua/objects/noise_object.h"

#include <cstdio>
#include <lua.hpp>
#include <string>

#include "engine/graph/classes.h"
#include "engine/graph/curve_terrace_points.h"
#include "host/lua_compat.h"
#include "lua/objects/object_binding.h"

// Every function here raises Lua errors, so none keeps a C++ object with a
// destructor alive: nodes are owned by their userdata and freed by __gc.
namespace noisebind::objects {
namespace {

// The metatables of the classes are registry[&kMetatableKeys[kind]], and
// each holds metatable[&kMarker] = true, which is how any noise object is
// told apart from other userdata.
const char kMetatableKeys[kKindCount] = {};
const char kMarker = 0;

constexpr int kTextSize = 512;

// The __index of every class: its methods first, then its fields. Written
// in Lua so that LuaJIT compiles a method lookup into the trace of the
// calling loop instead of calling out to C for every obj:calc.
constexpr char kIndexChunk[] = R"(
local methods, getfield = ...
return function(self, key)
  local method = methods[key]
  if method ~= nil then return method end
  return getfield(self, key)
end
)";

// __gc: frees the node. Users of the node see the source as missing.
int Collect(lua_State* L) {
  auto* object = static_cast<NoiseObject*>(lua_touserdata(L, 1));
  if (object != nullptr && vessa::RawLength(L, 1) == sizeof(NoiseObject) &&
      object->tag == TagOf(object) && lua_getmetatable(L, 1) &&
      lua_rawequal(L, -1, kClassMetatable)) {
    DestroyNode(object->node);
    object->node = nullptr;
  }
  return 0;
}

// Appends " name value" (or ", name value") for every setting.
void DescribeFields(const Node& node, char* text, std::size_t size) {
  const ClassInfo& info = ClassOf(node.kind());
  std::size_t used = std::snprintf(text, size, "%s", node.name());
  const char* separator = " (";
  const auto append = [&](const char* format, const char* name, auto value) {
    if (used >= size) return;
    used += std::snprintf(text + used, size - used, format, separator, name, value);
    separator = ", ";
  };
  for (std::size_t i = 0; i < info.fieldCount; ++i) {
    const Field& field = info.fields[i];
    const double value = field.get(node);
    switch (field.type) {
      case FieldType::kBoolean:
        append("%s%s %s", field.name, value != 0.0 ? "true" : "false");
        break;
      case FieldType::kQuality:
        append("%s%s %s", field.name, QualityName(static_cast<int>(value)));
        break;
      default:
        append("%s%s %.14g", field.name, value);
        break;
    }
  }
  if (node.kind() == Kind::kCurve || node.kind() == Kind::kTerrace) {
    const std::size_t points =
        node.kind() == Kind::kCurve ? CurvePointCount(node) : TerracePointCount(node);
    append("%s%s %zu", "points", points);
  }
  if (used < size && *separator == ',') std::snprintf(text + used, size - used, ")");
}

int ToString(lua_State* L) {
  const NoiseObject* object = CheckSelf(L);
  char text[kTextSize];
  DescribeFields(*object->node, text, sizeof text);
  lua_pushstring(L, text);
  return 1;
}

// noise.<Class>(source1, ..., sourceN [, settings]): upvalue 2 is the kind.
int Construct(lua_State* L) {
  const auto kind = static_cast<Kind>(lua_tointeger(L, lua_upvalueindex(2)));
  const int sources = ClassOf(kind).sourceCount;
  const int settings = sources + 1;
  for (int i = 1; i <= sources; ++i) {
    if (!lua_isnoneornil(L, i) && TestObject(L, i) == nullptr) {
      vessa::TypeError(L, i, "noise object");
    }
  }
  if (!lua_isnoneornil(L, settings)) {
    vessa::CheckType(L, settings, LUA_TTABLE);
    vessa::CheckOwnEntries(L, settings, settings, "settings");
  }
  lua_settop(L, settings);

  NoiseObject* object = NewNoiseObject(L, kind);
  const int self = lua_gettop(L);
  vessa::GetUserValue(L, self);
  for (int i = 1; i <= sources; ++i) {
    lua_pushvalue(L, i);
    lua_rawseti(L, -2, i);
  }
  lua_pop(L, 1);

  object->node = CreateNode(kind);
  if (object->node == nullptr) return luaL_error(L, "%s: not enough memory", KindName(kind));
  for (int i = 1; i <= sources; ++i) {
    const NoiseObject* source = TestObject(L, i);
    if (source != nullptr && object->node->SetSource(i - 1, source->node) != SourceStatus::kDone) {
      return luaL_error(L, "%s: not enough memory", KindName(kind));
    }
  }
  if (!lua_isnil(L, settings)) ApplySettings(L, object, settings);
  lua_pushvalue(L, self);
  return 1;
}

// Pushes the metatable of `kind`, made with its methods and metamethods.
void MakeMetatable(lua_State* L, Kind kind, int indexMaker) {
  lua_createtable(L, 0, 8);
  const int metatable = lua_gettop(L);
  lua_pushlightuserdata(L, const_cast<char*>(&kMarker));
  lua_pushboolean(L, 1);
  lua_rawset(L, metatable);
  const luaL_Reg metamethods[] = {
      {"__gc", Collect},
      {"__tostring", ToString},
      {"__newindex", SetFieldMeta},
  };
  for (const luaL_Reg& entry : metamethods) {
    lua_pushvalue(L, metatable);
    lua_pushcclosure(L, entry.func, 1);
    lua_setfield(L, metatable, entry.name);
  }
  // Scripts see the class name instead of the metatable, so they cannot
  // call __gc themselves or change every object's methods.
  lua_pushstring(L, KindName(kind));
  lua_setfield(L, metatable, "__metatable");

  lua_pushvalue(L, indexMaker);
  lua_newtable(L);
  SetMethods(L, metatable, kind);
  lua_pushvalue(L, metatable);
  lua_pushcclosure(L, GetFieldMeta, 1);
  lua_call(L, 2, 1);
  lua_setfield(L, metatable, "__index");
}

}  // namespace

NoiseObject* NewNoiseObject(lua_State* L, Kind kind) {
  // The userdata owns nothing until its metatable (with __gc) is set.
  auto* object = static_cast<NoiseObject*>(vessa::NewUserdata(L, sizeof(NoiseObject)));
  *object = NoiseObject{{}, TagOf(object), nullptr, 0};
  vessa::GetRegistryValue(L, &kMetatableKeys[static_cast<int>(kind)]);
  lua_setmetatable(L, -2);
  lua_createtable(L, ClassOf(kind).sourceCount, 0);
  vessa::SetUserValue(L, -2);
  return object;
}

NoiseObject* TestObject(lua_State* L, int index) {
  auto* object = static_cast<NoiseObject*>(lua_touserdata(L, index));
  if (object == nullptr || lua_type(L, index) != LUA_TUSERDATA || !lua_getmetatable(L, index)) {
    return nullptr;
  }
  lua_pushlightuserdata(L, const_cast<char*>(&kMarker));
  lua_rawget(L, -2);
  const bool ours = lua_toboolean(L, -1) != 0;
  lua_pop(L, 2);
  // A userdata given the metatable through the debug library may be
  // shorter than an object: its length and tag tell it apart.
  if (!ours || vessa::RawLength(L, index) != sizeof(NoiseObject) || object->tag != TagOf(object)) {
    return nullptr;
  }
  return object->node != nullptr ? object : nullptr;
}

const Node* TestNoiseObject(lua_State* L, int index) {
  const NoiseObject* object = TestObject(L, index);
  return object != nullptr ? object->node : nullptr;
}

NoiseObject* CheckSelfSlow(lua_State* L) {
  NoiseObject* object = TestObject(L, 1);
  if (object == nullptr) vessa::TypeError(L, 1, "noise object");
  return object;
}

NoiseObject* CheckSelfOf(lua_State* L, Kind kind) {
  NoiseObject* object = TestObject(L, 1);
  if (object == nullptr) vessa::TypeError(L, 1, KindName(kind));
  if (object->node->kind() != kind) {
    vessa::ArgError(
        L, 1, lua_pushfstring(L, "%s expected, got %s", KindName(kind), object->node->name()));
  }
  return object;
}

void CheckEvaluableSlow(lua_State* L, NoiseObject* object) {
  char reason[kTextSize];
  const std::uint64_t generation = GraphGeneration();
  bool evaluable = false;
  try {
    std::string why;
    evaluable = object->node->Evaluable(&why);
    std::snprintf(reason, sizeof reason, "%s", why.c_str());
  } catch (...) {
    std::snprintf(reason, sizeof reason, "%s: not enough memory", object->node->name());
  }
  if (!evaluable) luaL_error(L, "%s", reason);
  object->evaluable = generation;
}

const char* PushNumberText(lua_State* L, double value) {
  char text[32];
  if (value != value) {
    std::snprintf(text, sizeof text, "nan");
  } else {
    std::snprintf(text, sizeof text, "%.14g", value);
  }
  lua_pushstring(L, text);
  return lua_tostring(L, -1);
}

int OpenObjectsLibrary(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  if (luaL_loadbuffer(L, kIndexChunk, sizeof kIndexChunk - 1, "=noise objects") != LUA_OK) {
    return lua_error(L);
  }
  const int indexMaker = lua_gettop(L);
  for (int k = 0; k < kKindCount; ++k) {
    const auto kind = static_cast<Kind>(k);
    vessa::GetRegistryValue(L, &kMetatableKeys[k]);
    if (lua_isnil(L, -1)) {
      lua_pop(L, 1);
      MakeMetatable(L, kind, indexMaker);
      lua_pushvalue(L, -1);
      vessa::SetRegistryValue(L, &kMetatableKeys[k]);
    }
    lua_pushinteger(L, k);
    lua_pushcclosure(L, Construct, 2);
    lua_setfield(L, 1, KindName(kind));
  }
  vessa::NameFunctions(L, 1, false);
  lua_settop(L, 1);
  return 0;
}

}  // namespace noisebind::objects
