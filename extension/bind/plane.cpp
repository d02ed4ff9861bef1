// LibNoise.Plane: the shared plane model, the y = 0 plane.
#include "entry/resolver.h"
#include "entry/script_tables.h"
#include "instances/source_selection.h"

namespace noisebind {
namespace {

constexpr auto& plane = SharedInstances::plane;

constexpr char kNoSourceError[] =
    "LibNoise ERROR: The Plane model has no source module. Choose one with "
    "LibNoise.Plane.SetModule.\n";

int SetModule(ScriptState* state) {
  return SelectModelSource(state, plane);
}

// Calc(x, z): the source's value at (x, 0, z).
int Calc(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  Host(state).CheckArgType(2, kTypeNumber);
  const double x = Host(state).ArgAsNumber(1);
  const double z = Host(state).ArgAsNumber(2);
  return ReturnModelValue(state, plane, kNoSourceError,
                          [=](const auto& model) { return model.GetValue(x, z); });
}

const ScriptEntry kFunctions[] = {
    NOISEBIND_ENTRY(SetModule),
    NOISEBIND_ENTRY(Calc),
};

}  // namespace

const ScriptTable kPlaneFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
