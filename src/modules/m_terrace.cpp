// LibNoise.M_Terrace: the shared terrace, built from control values at run time.
#include "bind/script_functions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"
#include "modules/evaluation_errors.h"

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

int Clear(ScriptState* /*state*/) {
  terrace.ClearControlPoints();
  return 0;
}

int Calc(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  const double x = Host(state).ArgAsNumber(1);
  if (const char* problem = EvaluationProblem(terrace)) {
    Host(state).ScriptError(problem);
    return 0;
  }
  const double value = terrace.GetValue(x, 0.0, 0.0);
  Host(state).ReturnNumber(ToFloat(value));
  return 1;
}

const ScriptEntry kFunctions[] = {
    NOISEBIND_ENTRY(AddPoint),
    NOISEBIND_ENTRY(Clear),
    NOISEBIND_ENTRY(Calc),
};

}  // namespace

const ScriptTable kTerraceFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
