// LibNoise.M_Cylinders: the shared concentric-cylinders generator.
#include "bind/script_functions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"

namespace noisebind {
namespace {

constexpr auto& cylinders = SharedInstances::cylinders;

// Calc(x, z): the cylinders stand along the y axis, so y is always 0.
int Calc(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  Host(state).CheckArgType(2, kTypeNumber);
  const double x = Host(state).ArgAsNumber(1);
  const double z = Host(state).ArgAsNumber(2);
  const double value = cylinders.GetValue(x, 0.0, z);
  Host(state).ReturnNumber(ToFloat(value));
  return 1;
}

const ScriptEntry kFunctions[] = {
    {"SetFrequency", SetNumber<cylinders, &noise::module::Cylinders::SetFrequency>},
    NOISEBIND_ENTRY(Calc),
};

}  // namespace

const ScriptTable kCylindersFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
