// A curve through control points, evaluated at the x coordinate.
#ifndef NOISEBIND_MODULES_DIRECT_CURVE_H
#define NOISEBIND_MODULES_DIRECT_CURVE_H

#include <libnoise/module/modulebase.h>

#include <memory>

namespace noisebind {

struct CurvePoint {
  double input;
  double output;
};

// Like the library's curve module, but the value it maps is the x coordinate
// of the evaluation point rather than the value of a source module: y and z
// are ignored, and the one source-module slot is never used.
class DirectCurve : public noise::module::Module {
 public:
  DirectCurve();

  // Inserts the point in order of input. Throws noise::ExceptionInvalidParam,
  // changing nothing, when a point with the same input exists; throws
  // std::bad_alloc, changing nothing, when the larger array cannot be made.
  void AddControlPoint(double input, double output);

  void ClearControlPoints();

  int GetControlPointCount() const { return m_controlPointCount; }
  const CurvePoint* GetControlPointArray() const { return m_controlPoints.get(); }

  // The curve has a value once it has a control point.
  bool CanEvaluate() const { return m_controlPointCount >= 1; }

  int GetSourceModuleCount() const override { return 1; }

  // Cubic interpolation between the control points around x; beyond the
  // first or last input, that point's output. 0 when there are no points.
  double GetValue(double x, double y, double z) const override;

 private:
  int InsertionIndex(double input) const;

  int m_controlPointCount = 0;
  // Exactly m_controlPointCount points, sorted by input; null when empty.
  std::unique_ptr<CurvePoint[]> m_controlPoints;
};

}  // namespace noisebind

#endif  // NOISEBIND_MODULES_DIRECT_CURVE_H
