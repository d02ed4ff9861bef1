// The shapes that recur among the script functions of the generator and
// module tables, each for one shared object and one of its operations:
// check the arguments, read them, call, push, return the count.
#ifndef NOISEBIND_BIND_SCRIPT_FUNCTIONS_H
#define NOISEBIND_BIND_SCRIPT_FUNCTIONS_H

#include "bind/quality.h"
#include "entry/conversions.h"
#include "entry/resolver.h"
#include "modules/evaluation_errors.h"

namespace noisebind {

// Set(number): passes the number on unchanged.
template <auto& object, auto setter>
int SetNumber(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  const double value = Host(state).ArgAsNumber(1);
  (object.*setter)(value);
  return 0;
}

// Set(number): passes the number on as a 32-bit integer.
template <auto& object, auto setter>
int SetInteger(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  const int value = ToInt32(Host(state).ArgAsNumber(1));
  (object.*setter)(value);
  return 0;
}

// Set(quality code): passes the decoded noise quality on.
template <auto& object, auto setter>
int SetQuality(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  const noise::NoiseQuality quality = DecodeQuality(Host(state).ArgAsNumber(1));
  (object.*setter)(quality);
  return 0;
}

// Set(boolean).
template <auto& object, auto setter>
int SetBoolean(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeBoolean);
  const bool value = Host(state).ArgAsBool(1);
  (object.*setter)(value);
  return 0;
}

struct Point {
  double x;
  double y;
  double z;
};

// Checks arguments 1 to 3 for numbers, then reads them as a point.
inline Point CheckAndReadPoint(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  Host(state).CheckArgType(2, kTypeNumber);
  Host(state).CheckArgType(3, kTypeNumber);
  const double x = Host(state).ArgAsNumber(1);
  const double y = Host(state).ArgAsNumber(2);
  const double z = Host(state).ArgAsNumber(3);
  return Point{x, y, z};
}

// Calc(x, y, z): the module's value at the point.
template <auto& module>
int CalcAtPoint(ScriptState* state) {
  const Point point = CheckAndReadPoint(state);
  const double value = module.GetValue(point.x, point.y, point.z);
  Host(state).ReturnNumber(ToFloat(value));
  return 1;
}

// Calc(x) of a module that maps the x coordinate alone, once it has a value
// (see EvaluationProblem).
template <auto& module>
int CalcAtX(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  const double x = Host(state).ArgAsNumber(1);
  if (const char* problem = EvaluationProblem(module)) {
    Host(state).ScriptError(problem);
    return 0;
  }
  const double value = module.GetValue(x, 0.0, 0.0);
  Host(state).ReturnNumber(ToFloat(value));
  return 1;
}

// Clear(): no host operation at all.
template <auto& module>
int ClearPoints(ScriptState* /*state*/) {
  module.ClearControlPoints();
  return 0;
}

}  // namespace noisebind

#endif  // NOISEBIND_BIND_SCRIPT_FUNCTIONS_H
