#include "modules/direct_exponent.h"

#include <cmath>

namespace noisebind {

DirectExponent::DirectExponent() : Module(1) {}

double DirectExponent::GetValue(double x, double /*y*/, double /*z*/) const {
  const double base = std::fabs((x + 1.0) / 2.0);
  const double raised = std::pow(base, m_exponent);
  return raised + raised - 1.0;
}

}  // namespace noisebind
