// LibNoise.Sphere: the shared sphere model, the unit sphere.
#include "entry/resolver.h"
#include "entry/script_tables.h"
#include "instances/source_selection.h"

namespace noisebind {
namespace {

constexpr auto& sphere = SharedInstances::sphere;

constexpr char kBoundsError[] =
    "LibNoise ERROR: Invalid bounds for sphere calculation, bounds must be in 180-180 inclusive "
    "for lat and lon.\n";
constexpr char kNoSourceError[] =
    "LibNoise ERROR: The Sphere model has no source module. Choose one with "
    "LibNoise.Sphere.SetModule.\n";

int SetModule(ScriptState* state) {
  return SelectModelSource(state, sphere);
}

// Calc(latitude, longitude), in degrees, both within -180 to 180. A NaN
// fails none of the comparisons and is evaluated.
int Calc(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  Host(state).CheckArgType(2, kTypeNumber);
  const double latitude = Host(state).ArgAsNumber(1);
  const double longitude = Host(state).ArgAsNumber(2);
  if (latitude > 180.0 || latitude < -180.0 || longitude > 180.0 || longitude < -180.0) {
    Host(state).ScriptError(kBoundsError);
    return 0;
  }
  return ReturnModelValue(state, sphere, kNoSourceError,
                          [=](const auto& model) { return model.GetValue(latitude, longitude); });
}

const ScriptEntry kFunctions[] = {
    NOISEBIND_ENTRY(SetModule),
    NOISEBIND_ENTRY(Calc),
};

}  // namespace

const ScriptTable kSphereFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
