#include "modules/direct_terrace.h"

#include <libnoise/interp.h>

#include "modules/control_points.h"

namespace noisebind {

DirectTerrace::DirectTerrace() : Module(1) {}

int DirectTerrace::InsertionIndex(double value) const {
  for (int i = 0; i < m_controlPointCount; ++i) {
    if (value < m_controlPoints[i]) return i;
    if (value == m_controlPoints[i]) throw noise::ExceptionInvalidParam();
  }
  return m_controlPointCount;
}

void DirectTerrace::AddControlPoint(double value) {
  const int position = InsertionIndex(value);
  auto grown = WithGapAt(m_controlPoints.get(), m_controlPointCount, position);
  m_controlPoints = std::move(grown);
  ++m_controlPointCount;
  m_controlPoints[position] = value;
}

void DirectTerrace::ClearControlPoints() {
  m_controlPoints.reset();
  m_controlPointCount = 0;
}

double DirectTerrace::GetValue(double x, double /*y*/, double /*z*/) const {
  const int count = m_controlPointCount;
  if (count == 0) return 0.0;
  int i = 0;
  while (i < count && !(x < m_controlPoints[i])) ++i;
  const int i0 = ClampedIndex(i, -1, count);
  const int i1 = ClampedIndex(i, 0, count);
  if (i0 == i1) return m_controlPoints[i1];
  const double value0 = m_controlPoints[i0];
  const double value1 = m_controlPoints[i1];
  double alpha = (x - value0) / (value1 - value0);
  alpha *= alpha;
  return noise::LinearInterp(value0, value1, alpha);
}

}  // namespace noisebind
