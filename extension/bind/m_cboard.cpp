// LibNoise.M_CBoard: the shared checkerboard, which has no settings.
#include "bind/script_functions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"

namespace noisebind {
namespace {

const ScriptEntry kFunctions[] = {
    {"Calc", CalcAtPoint<SharedInstances::checkerboard>},
};

}  // namespace

const ScriptTable kCBoardFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
