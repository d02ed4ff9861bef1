// LibNoise.M_Voronoi: the shared Voronoi generator.
#include "bind/script_functions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"

namespace noisebind {
namespace {

constexpr auto& voronoi = SharedInstances::voronoi;
using Voronoi = noise::module::Voronoi;

const ScriptEntry kFunctions[] = {
    {"SetFrequency", SetNumber<voronoi, &Voronoi::SetFrequency>},
    {"SetDisplacement", SetNumber<voronoi, &Voronoi::SetDisplacement>},
    {"EnableDistance", SetBoolean<voronoi, &Voronoi::EnableDistance>},
    {"SetSeed", SetInteger<voronoi, &Voronoi::SetSeed>},
    {"Calc", CalcAtPoint<voronoi>},
};

}  // namespace

const ScriptTable kVoronoiFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
