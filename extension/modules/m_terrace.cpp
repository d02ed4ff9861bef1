// LibNoise.M_Terrace: the shared terrace, built from control values at run time.
#include "bind/script_functions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"

namespace noisebind {
namespace {

constexpr auto& terrace = SharedInstances::terrace;

// AddPoint(value). A duplicate value is refused by the module.
int AddPoint(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  const double value = Host(state).ArgAsNumber(1);
  terrace.AddControlPoint(value);
  return 0;
}

const ScriptEntry kFunctions[] = {
    NOISEBIND_ENTRY(AddPoint),
    {"Clear", ClearPoints<terrace>},
    {"Calc", CalcAtX<terrace>},
};

}  // namespace

const ScriptTable kTerraceFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
