// What a script is told when it evaluates a direct-input module that has no
// value yet, through its own table or through a model.
#ifndef NOISEBIND_MODULES_EVALUATION_ERRORS_H
#define NOISEBIND_MODULES_EVALUATION_ERRORS_H

#include "modules/direct_curve.h"
#include "modules/direct_exponent.h"
#include "modules/direct_terrace.h"

namespace noisebind {

constexpr char kCurveWithoutPointsError[] =
    "LibNoise ERROR: The curve module has no control points. Add at least one with "
    "LibNoise.M_Curve.AddPoint.\n";
constexpr char kTerraceTooFewPointsError[] =
    "LibNoise ERROR: The terrace module needs at least two control points. Add them with "
    "LibNoise.M_Terrace.AddPoint.\n";

// Null when the module can be evaluated. Expected to be: the compiler then
// lays the evaluation out straight and the error aside.
inline const char* EvaluationProblem(const DirectCurve& curve) {
  return __builtin_expect(curve.CanEvaluate(), 1) ? nullptr : kCurveWithoutPointsError;
}
inline const char* EvaluationProblem(const DirectTerrace& terrace) {
  return __builtin_expect(terrace.CanEvaluate(), 1) ? nullptr : kTerraceTooFewPointsError;
}
inline const char* EvaluationProblem(const DirectExponent& /*exponent*/) {
  return nullptr;
}

}  // namespace noisebind

#endif  // NOISEBIND_MODULES_EVALUATION_ERRORS_H
