// LibNoise.Line: the shared line model, a segment evaluated at 0 to 1.
#include "bind/script_functions.h"
#include "entry/script_tables.h"
#include "instances/source_selection.h"

namespace noisebind {
namespace {

constexpr auto& line = SharedInstances::line;

constexpr char kBoundsError[] =
    "LibNoise ERROR: Invalid bounds for line calculation, bounds must be in 0-1 inclusive.\n";
constexpr char kNoSourceError[] =
    "LibNoise ERROR: The Line model has no source module. Choose one with "
    "LibNoise.Line.SetModule.\n";

int SetAttenuation(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeBoolean);
  const bool attenuate = Host(state).ArgAsBool(1);
  line.model.SetAttenuate(attenuate);
  return 0;
}

int SetStartPoint(ScriptState* state) {
  const Point start = CheckAndReadPoint(state);
  line.model.SetStartPoint(start.x, start.y, start.z);
  return 0;
}

int SetEndPoint(ScriptState* state) {
  const Point end = CheckAndReadPoint(state);
  line.model.SetEndPoint(end.x, end.y, end.z);
  return 0;
}

int SetModule(ScriptState* state) {
  return SelectModelSource(state, line);
}

// Calc(p): p runs from 0 at the start point to 1 at the end point.
int Calc(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  const double p = Host(state).ArgAsNumber(1);
  if (!(p <= 1.0 && p >= 0.0)) {
    Host(state).ScriptError(kBoundsError);
    return 0;
  }
  return ReturnModelValue(state, line, kNoSourceError,
                          [=](const auto& model) { return model.GetValue(p); });
}

const ScriptEntry kFunctions[] = {
    NOISEBIND_ENTRY(SetAttenuation), NOISEBIND_ENTRY(SetStartPoint), NOISEBIND_ENTRY(SetEndPoint),
    NOISEBIND_ENTRY(SetModule),      NOISEBIND_ENTRY(Calc),
};

}  // namespace

const ScriptTable kLineFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
