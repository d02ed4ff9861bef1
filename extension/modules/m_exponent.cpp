// LibNoise.M_Exponent: the shared power curve.
#include "bind/script_functions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"

namespace noisebind {
namespace {

constexpr auto& exponent = SharedInstances::exponent;

const ScriptEntry kFunctions[] = {
    {"SetExponent", SetNumber<exponent, &DirectExponent::SetExponent>},
    {"Calc", CalcAtX<exponent>},
};

}  // namespace

const ScriptTable kExponentFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
