// LibNoise.M_Spheres: the shared concentric-spheres generator.
#include "bind/script_functions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"

namespace noisebind {
namespace {

constexpr auto& spheres = SharedInstances::spheres;

const ScriptEntry kFunctions[] = {
    {"SetFrequency", SetNumber<spheres, &noise::module::Spheres::SetFrequency>},
    {"Calc", CalcAtPoint<spheres>},
};

}  // namespace

const ScriptTable kSpheresFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
