// Terraces between control values, evaluated at the x coordinate.
#ifndef NOISEBIND_MODULES_DIRECT_TERRACE_H
#define NOISEBIND_MODULES_DIRECT_TERRACE_H

#include <libnoise/module/modulebase.h>

#include <memory>

namespace noisebind {

// Like the library's terrace module, but the value it maps is the x
// coordinate of the evaluation point: y and z are ignored, and the one
// source-module slot is never used. Between two neighbouring values the
// output follows a squared ramp: flat just above the lower value, steepest
// just below the upper one.
class DirectTerrace : public noise::module::Module {
 public:
  DirectTerrace();

  // Inserts the value in order. Throws noise::ExceptionInvalidParam, changing
  // nothing, when the value exists; throws std::bad_alloc, changing nothing,
  // when the larger array cannot be made.
  void AddControlPoint(double value);

  void ClearControlPoints();

  int GetControlPointCount() const { return m_controlPointCount; }
  const double* GetControlPointArray() const { return m_controlPoints.get(); }

  // A terrace needs two values to span.
  bool CanEvaluate() const { return m_controlPointCount >= 2; }

  int GetSourceModuleCount() const override { return 1; }

  // The terrace value at x; beyond the first or last value, that value.
  // 0 when there are no values.
  double GetValue(double x, double y, double z) const override;

 private:
  int InsertionIndex(double value) const;

  int m_controlPointCount = 0;
  // Exactly m_controlPointCount values, sorted; null when empty.
  std::unique_ptr<double[]> m_controlPoints;
};

}  // namespace noisebind

#endif  // NOISEBIND_MODULES_DIRECT_TERRACE_H
