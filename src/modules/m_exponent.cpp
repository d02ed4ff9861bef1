// LibNoise.M_Exponent: the shared power curve.
#include "bind/script_functions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"

namespace noisebind {
namespace {

constexpr auto& exponent = SharedInstances::exponent;

int Calc(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  const double x = Host(state).ArgAsNumber(1);
  const double value = exponent.GetValue(x, 0.0, 0.0);
  Host(state).ReturnNumber(ToFloat(value));
  return 1;
}

const ScriptEntry kFunctions[] = {
    {"SetExponent", SetNumber<exponent, &DirectExponent::SetExponent>},
    NOISEBIND_ENTRY(Calc),
};

}  // namespace

const ScriptTable kExponentFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
