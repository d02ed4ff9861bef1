// How a model's source is chosen by module code, and whether it can be
// evaluated.
#ifndef NOISEBIND_INSTANCES_SOURCE_SELECTION_H
#define NOISEBIND_INSTANCES_SOURCE_SELECTION_H

#include <cstdint>

#include "entry/conversions.h"
#include "entry/resolver.h"
#include "instances/shared_instances.h"
#include "modules/evaluation_errors.h"

namespace noisebind {

constexpr char kInvalidModuleCodeError[] =
    "LibNoise ERROR: Invalid enumeration used for referencing a module. Use those from the "
    "library's table.\n Note that you cannot use the Turbulence module due to implementation "
    "issues.\n";

// The shared module a model may evaluate for `code`; null for every code no
// model can use (outside 1 to 11, and the turbulence, whose value is not
// its result).
const noise::module::Module* ModelSourceFor(std::int32_t code);

// Null when a model whose source is `source` can be evaluated; otherwise the
// error to report: `noSourceError` when it has none, the module's own error
// when the module has no value yet. Inline, as every model's Calc asks.
inline const char* SourceProblem(ModuleCode source, const char* noSourceError) {
  switch (source) {
    case ModuleCode::kNone:
      return noSourceError;
    case ModuleCode::kCurve:
      return EvaluationProblem(SharedInstances::curve);
    case ModuleCode::kTerrace:
      return EvaluationProblem(SharedInstances::terrace);
    default:
      return nullptr;
  }
}

// The SetModule function of every model table: takes a module code, makes
// that module the model's source and returns true, or reports the code and
// returns nil, leaving the source as it was.
template <class Model>
int SelectModelSource(ScriptState* state, SharedModel<Model>& target) {
  Host(state).CheckArgType(1, kTypeNumber);
  const std::int32_t code = ToInt32(Host(state).ArgAsNumber(1));
  const noise::module::Module* source = ModelSourceFor(code);
  if (source == nullptr) {
    Host(state).ScriptError(kInvalidModuleCodeError);
    Host(state).ReturnNil();
    return 1;
  }
  target.model.SetModule(*source);
  target.source = static_cast<ModuleCode>(code);
  Host(state).ReturnBool(true);
  return 1;
}

// How every model's Calc ends once its arguments are in bounds: reports a
// source that cannot be evaluated, or pushes what `evaluate(model)` gives.
template <class Model, class Evaluate>
int ReturnModelValue(ScriptState* state, const SharedModel<Model>& target,
                     const char* noSourceError, Evaluate evaluate) {
  if (const char* problem = SourceProblem(target.source, noSourceError)) {
    Host(state).ScriptError(problem);
    return 0;
  }
  const double value = evaluate(target.model);
  Host(state).ReturnNumber(ToFloat(value));
  return 1;
}

}  // namespace noisebind

#endif  // NOISEBIND_INSTANCES_SOURCE_SELECTION_H
