// LibNoise.M_Perlin: the shared Perlin generator.
#include "bind/script_functions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"

namespace noisebind {
namespace {

constexpr auto& perlin = SharedInstances::perlin;
using Perlin = noise::module::Perlin;

const ScriptEntry kFunctions[] = {
    {"SetFrequency", SetNumber<perlin, &Perlin::SetFrequency>},
    {"SetLacunarity", SetNumber<perlin, &Perlin::SetLacunarity>},
    {"SetNoiseQuality", SetQuality<perlin, &Perlin::SetNoiseQuality>},
    {"SetOctaveCount", SetInteger<perlin, &Perlin::SetOctaveCount>},
    {"SetPersistence", SetNumber<perlin, &Perlin::SetPersistence>},
    {"SetSeed", SetInteger<perlin, &Perlin::SetSeed>},
    {"Calc", CalcAtPoint<perlin>},
};

}  // namespace

const ScriptTable kPerlinFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
