#include "modules/direct_curve.h"

#include <libnoise/interp.h>

#include "modules/control_points.h"

namespace noisebind {

DirectCurve::DirectCurve() : Module(1) {}

int DirectCurve::InsertionIndex(double input) const {
  for (int i = 0; i < m_controlPointCount; ++i) {
    if (input < m_controlPoints[i].input) return i;
    if (input == m_controlPoints[i].input) throw noise::ExceptionInvalidParam();
  }
  return m_controlPointCount;
}

void DirectCurve::AddControlPoint(double input, double output) {
  const int position = InsertionIndex(input);
  auto grown = WithGapAt(m_controlPoints.get(), m_controlPointCount, position);
  m_controlPoints = std::move(grown);
  ++m_controlPointCount;
  m_controlPoints[position] = CurvePoint{input, output};
}

void DirectCurve::ClearControlPoints() {
  m_controlPoints.reset();
  m_controlPointCount = 0;
}

double DirectCurve::GetValue(double x, double /*y*/, double /*z*/) const {
  const int count = m_controlPointCount;
  if (count == 0) return 0.0;
  int i = 0;
  while (i < count && !(x < m_controlPoints[i].input)) ++i;
  const int i0 = ClampedIndex(i, -2, count);
  const int i1 = ClampedIndex(i, -1, count);
  const int i2 = ClampedIndex(i, 0, count);
  const int i3 = ClampedIndex(i, 1, count);
  if (i1 == i2) return m_controlPoints[i1].output;
  const double input1 = m_controlPoints[i1].input;
  const double input2 = m_controlPoints[i2].input;
  const double alpha = (x - input1) / (input2 - input1);
  return noise::CubicInterp(m_controlPoints[i0].output, m_controlPoints[i1].output,
                            m_controlPoints[i2].output, m_controlPoints[i3].output, alpha);
}

}  // namespace noisebind
