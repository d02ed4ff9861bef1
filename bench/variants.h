// Building blocks of variants a and b: the native loop, and the strict
// argument reads of a hand-written Lua C function.
#ifndef NOISEBIND_BENCH_VARIANTS_H
#define NOISEBIND_BENCH_VARIANTS_H

#include <lua.hpp>

#include "points.h"

namespace bench {

// Adds the results of one call at point i to `sum`.
using Step = double (*)(double sum, const Points& points, std::size_t i);

// A constant `step` is inlined into the loop, as a hand-written loop would be.
template <Step step>
double NativeLoop(const Points& points, long reps) {
  double sum = 0.0;
  for (long r = 0; r < reps; ++r) {
    for (std::size_t i = 0; i < points.count; ++i) sum = step(sum, points, i);
  }
  return sum;
}

inline double Arg(const Points& points, int k, std::size_t i) {
  return points.args[k][i];
}

// Lua's own argument error, in each Lua's way of making it.
[[gnu::cold, gnu::noinline]] inline int FloorTypeError(lua_State* L, int index) {
#if LUA_VERSION_NUM >= 504
  return luaL_typeerror(L, index, "number");
#elif LUA_VERSION_NUM >= 502
  return luaL_argerror(L, index,
                       lua_pushfstring(L, "number expected, got %s", luaL_typename(L, index)));
#else
  return luaL_typerror(L, index, "number");
#endif
}

// Argument `index` of a Lua C function, which must have Lua type number.
inline double FloorNumber(lua_State* L, int index) {
  if (lua_type(L, index) != LUA_TNUMBER) FloorTypeError(L, index);
  return lua_tonumber(L, index);
}

inline void FloorPush(lua_State* L, double value) {
  lua_pushnumber(L, static_cast<lua_Number>(static_cast<float>(value)));
}

inline double AddResult(double sum, double value) {
  return sum + static_cast<double>(static_cast<float>(value));
}

// The pair for a module evaluated at (x, y, z).
template <auto& module>
double ModuleStep(double sum, const Points& points, std::size_t i) {
  return AddResult(sum, module.GetValue(Arg(points, 0, i), Arg(points, 1, i), Arg(points, 2, i)));
}

template <auto& module>
int ModuleFloor(lua_State* L) {
  const double x = FloorNumber(L, 1);
  const double y = FloorNumber(L, 2);
  const double z = FloorNumber(L, 3);
  FloorPush(L, module.GetValue(x, y, z));
  return 1;
}

// The pair for a module evaluated at (x, 0, 0), as the one-argument Calc of
// the control-point and exponent modules.
template <auto& module>
double ModuleStepX(double sum, const Points& points, std::size_t i) {
  return AddResult(sum, module.GetValue(Arg(points, 0, i), 0.0, 0.0));
}

template <auto& module>
int ModuleFloorX(lua_State* L) {
  const double x = FloorNumber(L, 1);
  FloorPush(L, module.GetValue(x, 0.0, 0.0));
  return 1;
}

}  // namespace bench

#endif  // NOISEBIND_BENCH_VARIANTS_H
