// A power curve of the x coordinate.
#ifndef NOISEBIND_MODULES_DIRECT_EXPONENT_H
#define NOISEBIND_MODULES_DIRECT_EXPONENT_H

#include <libnoise/module/modulebase.h>

namespace noisebind {

const double DEFAULT_DIRECT_EXPONENT = 1.0;

// Like the library's exponent module, but applied to the x coordinate of the
// evaluation point: y and z are ignored, and the one source-module slot is
// never used. For a positive exponent, -1 to 1 maps onto -1 to 1.
class DirectExponent : public noise::module::Module {
 public:
  DirectExponent();

  double GetExponent() const { return m_exponent; }
  // Any value is stored as it is.
  void SetExponent(double exponent) { m_exponent = exponent; }

  int GetSourceModuleCount() const override { return 1; }

  // 2 |(x + 1) / 2| ^ exponent - 1.
  double GetValue(double x, double y, double z) const override;

 private:
  double m_exponent = DEFAULT_DIRECT_EXPONENT;
};

}  // namespace noisebind

#endif  // NOISEBIND_MODULES_DIRECT_EXPONENT_H
