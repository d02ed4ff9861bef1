// LibNoise.M_Turbulence: the shared turbulence, which returns the point it
// displaces instead of a value.
#include "bind/script_functions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"

namespace noisebind {
namespace {

constexpr auto& turbulence = SharedInstances::turbulence;

// Calc(x, y, z): the displaced point, as three numbers.
int Calc(ScriptState* state) {
  const Point point = CheckAndReadPoint(state);
  turbulence.GetValue(point.x, point.y, point.z);
  const DisplacedPoint displaced = LastDisplacedPoint;
  Host(state).ReturnNumber(ToFloat(displaced.x));
  Host(state).ReturnNumber(ToFloat(displaced.y));
  Host(state).ReturnNumber(ToFloat(displaced.z));
  return 3;
}

const ScriptEntry kFunctions[] = {
    {"SetFrequency", SetNumber<turbulence, &DirectTurbulence::SetFrequency>},
    {"SetPower", SetNumber<turbulence, &DirectTurbulence::SetPower>},
    {"SetRoughness", SetInteger<turbulence, &DirectTurbulence::SetRoughness>},
    {"SetSeed", SetInteger<turbulence, &DirectTurbulence::SetSeed>},
    NOISEBIND_ENTRY(Calc),
};

}  // namespace

const ScriptTable kTurbulenceFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
