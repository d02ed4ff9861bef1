// LibNoise.M_Billow: the shared billow generator.
#include "bind/script_functions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"

namespace noisebind {
namespace {

constexpr auto& billow = SharedInstances::billow;
using Billow = noise::module::Billow;

const ScriptEntry kFunctions[] = {
    {"SetFrequency", SetNumber<billow, &Billow::SetFrequency>},
    {"SetLacunarity", SetNumber<billow, &Billow::SetLacunarity>},
    {"SetNoiseQuality", SetQuality<billow, &Billow::SetNoiseQuality>},
    {"SetOctaveCount", SetInteger<billow, &Billow::SetOctaveCount>},
    {"SetPersistence", SetNumber<billow, &Billow::SetPersistence>},
    {"SetSeed", SetInteger<billow, &Billow::SetSeed>},
    {"Calc", CalcAtPoint<billow>},
};

}  // namespace

const ScriptTable kBillowFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
