#include "modules/direct_turbulence.h"

#include "entry/conversions.h"

namespace noisebind {

DisplacedPoint LastDisplacedPoint = {0.0, 0.0, 0.0};

namespace {

// Fixed offsets (n / 65536, exact in a double) that keep the three fields
// from sampling the same lattice.
constexpr double Offset(int n) {
  return n / 65536.0;
}

}  // namespace

DirectTurbulence::DirectTurbulence() : Module(1) {
  SetSeed(DEFAULT_DIRECT_TURBULENCE_SEED);
  SetFrequency(DEFAULT_DIRECT_TURBULENCE_FREQUENCY);
  SetRoughness(DEFAULT_DIRECT_TURBULENCE_ROUGHNESS);
}

void DirectTurbulence::SetFrequency(double frequency) {
  m_distortX.SetFrequency(frequency);
  m_distortY.SetFrequency(frequency);
  m_distortZ.SetFrequency(frequency);
}

void DirectTurbulence::SetRoughness(int roughness) {
  // The first field refuses a bad count before any of them changes.
  m_distortX.SetOctaveCount(roughness);
  m_distortY.SetOctaveCount(roughness);
  m_distortZ.SetOctaveCount(roughness);
}

void DirectTurbulence::SetSeed(int seed) {
  m_distortX.SetSeed(seed);
  m_distortY.SetSeed(WrappingAdd(seed, 1));
  m_distortZ.SetSeed(WrappingAdd(seed, 2));
}

double DirectTurbulence::GetValue(double x, double y, double z) const {
  const double distortX =
      m_distortX.GetValue(x + Offset(12414), y + Offset(65124), z + Offset(31337));
  const double distortY =
      m_distortY.GetValue(x + Offset(26519), y + Offset(18128), z + Offset(60493));
  const double distortZ =
      m_distortZ.GetValue(x + Offset(53820), y + Offset(11213), z + Offset(44845));
  LastDisplacedPoint =
      DisplacedPoint{x + distortX * m_power, y + distortY * m_power, z + distortZ * m_power};
  return 0.0;
}

}  // namespace noisebind
