// LibNoise.M_Curve: the shared curve, built from control points at run time.
#include "bind/script_functions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"

namespace noisebind {
namespace {

constexpr auto& curve = SharedInstances::curve;

// AddPoint(input, output). A duplicate input is refused by the module.
int AddPoint(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  Host(state).CheckArgType(2, kTypeNumber);
  const double input = Host(state).ArgAsNumber(1);
  const double output = Host(state).ArgAsNumber(2);
  curve.AddControlPoint(input, output);
  return 0;
}

const ScriptEntry kFunctions[] = {
    NOISEBIND_ENTRY(AddPoint),
    {"Clear", ClearPoints<curve>},
    {"Calc", CalcAtX<curve>},
};

}  // namespace

const ScriptTable kCurveFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
