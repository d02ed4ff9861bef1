// The methods of noise objects: evaluation (calc and the models), sources,
// and the control points of Curve and Terrace.
#include <iterator>
#include <lua.hpp>

#include "engine/graph/classes.h"
#include "engine/graph/curve_terrace_points.h"
#include "engine/graph/models.h"
#include "host/lua_compat.h"
#include "lua/objects/object_binding.h"

namespace noisebind::objects {
namespace {

// obj:calc(x, y, z): the value libnoise gives at the point, as a double.
int Calc(lua_State* L) {
  NoiseObject* object = CheckSelf(L);
  const double x = CheckNumber(L, 2);
  const double y = CheckNumber(L, 3);
  const double z = CheckNumber(L, 4);
  const Node& node = Evaluable(L, object);
  double value = 0.0;
  node.GetValues(&x, &y, &z, 1, &value);
  lua_pushnumber(L, value);
  return 1;
}

// obj:plane(x, z): noise::model::Plane.
int Plane(lua_State* L) {
  NoiseObject* object = CheckSelf(L);
  const double x = CheckNumber(L, 2);
  const double z = CheckNumber(L, 3);
  lua_pushnumber(L, PlaneValue(Evaluable(L, object), x, z));
  return 1;
}

// obj:sphere(latitude, longitude): noise::model::Sphere, in degrees.
int Sphere(lua_State* L) {
  NoiseObject* object = CheckSelf(L);
  const double latitude = CheckNumber(L, 2);
  const double longitude = CheckNumber(L, 3);
  lua_pushnumber(L, SphereValue(Evaluable(L, object), latitude, longitude));
  return 1;
}

// obj:cylinder(angle, height): noise::model::Cylinder, angle in degrees.
int Cylinder(lua_State* L) {
  NoiseObject* object = CheckSelf(L);
  const double angle = CheckNumber(L, 2);
  const double height = CheckNumber(L, 3);
  lua_pushnumber(L, CylinderValue(Evaluable(L, object), angle, height));
  return 1;
}

// A point given as a list of three numbers, {x, y, z}.
void CheckPoint(lua_State* L, int index, const char* what, double point[3]) {
  vessa::CheckType(L, index, LUA_TTABLE);
  for (int i = 0; i < 3; ++i) {
    lua_rawgeti(L, index, i + 1);
    if (lua_type(L, -1) != LUA_TNUMBER) {
      vessa::ArgError(L, index,
                      lua_pushfstring(L, "%s must be a list of 3 numbers {x, y, z}, item %d is %s",
                                      what, i + 1, luaL_typename(L, -1)));
    }
    point[i] = lua_tonumber(L, -1);
    lua_pop(L, 1);
  }
}

// obj:line(p, start, finish [, attenuate]): noise::model::Line from start
// (p = 0) to finish (p = 1); attenuated unless `attenuate` is false.
int Line(lua_State* L) {
  NoiseObject* object = CheckSelf(L);
  const double p = CheckNumber(L, 2);
  double start[3];
  double finish[3];
  CheckPoint(L, 3, "start", start);
  CheckPoint(L, 4, "finish", finish);
  if (!lua_isnoneornil(L, 5)) vessa::CheckType(L, 5, LUA_TBOOLEAN);
  const bool attenuate = lua_isnoneornil(L, 5) || lua_toboolean(L, 5) != 0;
  lua_pushnumber(L, LineValue(Evaluable(L, object), p, start, finish, attenuate));
  return 1;
}

// A source index from 1 to the class's count.
int CheckSourceIndex(lua_State* L, int index, const Node& node) {
  const double value = CheckNumber(L, index);
  if (!(value >= 1 && value <= node.SourceCount() && value == static_cast<int>(value))) {
    vessa::ArgError(L, index,
                    lua_pushfstring(L, "%s has sources 1 to %d, got %s", node.name(),
                                    node.SourceCount(), PushNumberText(L, value)));
  }
  return static_cast<int>(value);
}

// obj:source(i): the object that is source i, or nil.
int Source(lua_State* L) {
  const NoiseObject* object = CheckSelf(L);
  const int index = CheckSourceIndex(L, 2, *object->node);
  vessa::GetUserValue(L, 1);
  lua_rawgeti(L, -1, index);
  return 1;
}

// obj:setsource(i, source): makes `source` (nil: none) source i.
int SetSource(lua_State* L) {
  NoiseObject* object = CheckSelf(L);
  const int index = CheckSourceIndex(L, 2, *object->node);
  const NoiseObject* source = TestObject(L, 3);
  if (source == nullptr && !lua_isnil(L, 3)) vessa::TypeError(L, 3, "noise object");
  switch (object->node->SetSource(index - 1, source != nullptr ? source->node : nullptr)) {
    case SourceStatus::kDone:
      break;
    case SourceStatus::kCycle:
      return luaL_error(L, "%s:setsource(%d): the source uses this %s, which would make a cycle",
                        object->node->name(), index, object->node->name());
    default:
      return luaL_error(L, "%s:setsource(%d): not enough memory", object->node->name(), index);
  }
  // The slot exists since construction, so this stores without allocating.
  vessa::GetUserValue(L, 1);
  lua_pushvalue(L, 3);
  lua_rawseti(L, -2, index);
  return 0;
}

int RaiseMethod(lua_State* L, const Node& node, const char* method, const char* arguments,
                const char* reason) {
  return luaL_error(L, "%s:%s(%s): %s", node.name(), method, arguments, reason);
}

// curve:addpoint(input, output)
int CurveAddPoint(lua_State* L) {
  NoiseObject* object = CheckSelfOf(L, Kind::kCurve);
  const double input = CheckNumber(L, 2);
  const double output = CheckNumber(L, 3);
  if (const char* refused = AddCurvePoint(*object->node, input, output)) {
    PushNumberText(L, input);
    PushNumberText(L, output);
    lua_pushfstring(L, "%s, %s", lua_tostring(L, -2), lua_tostring(L, -1));
    return RaiseMethod(L, *object->node, "addpoint", lua_tostring(L, -1), refused);
  }
  return 0;
}

// terrace:addpoint(value)
int TerraceAddPoint(lua_State* L) {
  NoiseObject* object = CheckSelfOf(L, Kind::kTerrace);
  const double value = CheckNumber(L, 2);
  if (const char* refused = AddTerracePoint(*object->node, value)) {
    return RaiseMethod(L, *object->node, "addpoint", PushNumberText(L, value), refused);
  }
  return 0;
}

// terrace:makepoints(count): libnoise's MakeControlPoints.
int TerraceMakePoints(lua_State* L) {
  NoiseObject* object = CheckSelfOf(L, Kind::kTerrace);
  const double count = CheckNumber(L, 2);
  if (const char* refused = MakeTerracePoints(*object->node, count)) {
    return RaiseMethod(L, *object->node, "makepoints", PushNumberText(L, count), refused);
  }
  return 0;
}

// obj:clear(): removes every control point.
int CurveClear(lua_State* L) {
  ClearControlPoints(*CheckSelfOf(L, Kind::kCurve)->node);
  return 0;
}

int TerraceClear(lua_State* L) {
  ClearControlPoints(*CheckSelfOf(L, Kind::kTerrace)->node);
  return 0;
}

constexpr luaL_Reg kMethods[] = {
    {"calc", Calc}, {"plane", Plane},   {"sphere", Sphere},       {"cylinder", Cylinder},
    {"line", Line}, {"source", Source}, {"setsource", SetSource},
};

constexpr luaL_Reg kCurveMethods[] = {
    {"addpoint", CurveAddPoint},
    {"clear", CurveClear},
};

constexpr luaL_Reg kTerraceMethods[] = {
    {"addpoint", TerraceAddPoint},
    {"clear", TerraceClear},
    {"makepoints", TerraceMakePoints},
};

template <std::size_t n>
void StoreClosures(lua_State* L, int metatable, const luaL_Reg (&functions)[n]) {
  for (const luaL_Reg& entry : functions) {
    lua_pushvalue(L, metatable);
    lua_pushcclosure(L, entry.func, 1);
    lua_setfield(L, -2, entry.name);
  }
}

}  // namespace

void SetMethods(lua_State* L, int metatable, Kind kind) {
  StoreClosures(L, metatable, kMethods);
  if (kind == Kind::kCurve) StoreClosures(L, metatable, kCurveMethods);
  if (kind == Kind::kTerrace) StoreClosures(L, metatable, kTerraceMethods);
  vessa::NameFunctions(L, -1, true);
}

}  // namespace noisebind::objects
