// LibNoise.Cylinder: the shared cylinder model, radius 1 around the y axis.
#include "entry/resolver.h"
#include "entry/script_tables.h"
#include "instances/source_selection.h"

namespace noisebind {
namespace {

constexpr auto& cylinder = SharedInstances::cylinder;

constexpr char kBoundsError[] =
    "LibNoise ERROR: Invalid bounds for cylinder calculation, bounds must be 0-360 degrees for "
    "rad.\n";
constexpr char kNoSourceError[] =
    "LibNoise ERROR: The Cylinder model has no source module. Choose one with "
    "LibNoise.Cylinder.SetModule.\n";

int SetModule(ScriptState* state) {
  return SelectModelSource(state, cylinder);
}

// Calc(angle, height): the angle in degrees within 0 to 360, any height. A
// NaN angle fails neither comparison and is evaluated.
int Calc(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  Host(state).CheckArgType(2, kTypeNumber);
  const double angle = Host(state).ArgAsNumber(1);
  const double height = Host(state).ArgAsNumber(2);
  if (angle < 0.0 || angle > 360.0) {
    Host(state).ScriptError(kBoundsError);
    return 0;
  }
  return ReturnModelValue(state, cylinder, kNoSourceError,
                          [=](const auto& model) { return model.GetValue(angle, height); });
}

const ScriptEntry kFunctions[] = {
    NOISEBIND_ENTRY(SetModule),
    NOISEBIND_ENTRY(Calc),
};

}  // namespace

const ScriptTable kCylinderFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
