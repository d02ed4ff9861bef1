// The shapes that recur among the script functions of the generator and
// module tables, each for one shared object and one of its operations:
// check the arguments, read them, call, push, return the count.
#ifndef NOISEBIND_BIND_SCRIPT_FUNCTIONS_H
#define NOISEBIND_BIND_SCRIPT_FUNCTIONS_H

#include "bind/quality.h"
#include "entry/conversions.h"
#include "entry/resolver.h"

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

// Calc(x, y, z): the module's value at the point.
template <auto& module>
int CalcAtPoint(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  Host(state).CheckArgType(2, kTypeNumber);
  Host(state).CheckArgType(3, kTypeNumber);
  const double x = Host(state).ArgAsNumber(1);
  const double y = Host(state).ArgAsNumber(2);
  const double z = Host(state).ArgAsNumber(3);
  const double value = module.GetValue(x, y, z);
  Host(state).ReturnNumber(ToFloat(value));
  return 1;
}

}  // namespace noisebind

#endif  // NOISEBIND_BIND_SCRIPT_FUNCTIONS_H
