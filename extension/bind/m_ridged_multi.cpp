// LibNoise.M_RidgedMulti: the shared ridged-multifractal generator.
#include "bind/script_functions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"

namespace noisebind {
namespace {

constexpr auto& ridged = SharedInstances::ridgedMulti;
using RidgedMulti = noise::module::RidgedMulti;

const ScriptEntry kFunctions[] = {
    {"SetFrequency", SetNumber<ridged, &RidgedMulti::SetFrequency>},
    {"SetLacunarity", SetNumber<ridged, &RidgedMulti::SetLacunarity>},
    {"SetNoiseQuality", SetQuality<ridged, &RidgedMulti::SetNoiseQuality>},
    {"SetOctaveCount", SetInteger<ridged, &RidgedMulti::SetOctaveCount>},
    {"SetSeed", SetInteger<ridged, &RidgedMulti::SetSeed>},
    {"Calc", CalcAtPoint<ridged>},
};

}  // namespace

const ScriptTable kRidgedMultiFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
