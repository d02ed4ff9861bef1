// Displacement of a point by three Perlin noise fields.
#ifndef NOISEBIND_MODULES_DIRECT_TURBULENCE_H
#define NOISEBIND_MODULES_DIRECT_TURBULENCE_H

#include <libnoise/module/perlin.h>

namespace noisebind {

const double DEFAULT_DIRECT_TURBULENCE_FREQUENCY = 1.0;
const double DEFAULT_DIRECT_TURBULENCE_POWER = 1.0;
const int DEFAULT_DIRECT_TURBULENCE_ROUGHNESS = 3;
const int DEFAULT_DIRECT_TURBULENCE_SEED = 0;

struct DisplacedPoint {
  double x;
  double y;
  double z;
};

// The point the latest turbulence evaluation computed; (0, 0, 0) at load.
extern DisplacedPoint LastDisplacedPoint;

// Like the library's turbulence module, but instead of looking up a source
// module at the displaced point it hands the point back: GetValue stores it
// in LastDisplacedPoint and returns 0. The one source-module slot is never
// used.
class DirectTurbulence : public noise::module::Module {
 public:
  DirectTurbulence();

  double GetFrequency() const { return m_distortX.GetFrequency(); }
  double GetPower() const { return m_power; }
  int GetRoughnessCount() const { return m_distortX.GetOctaveCount(); }
  int GetSeed() const { return m_distortX.GetSeed(); }
  const noise::module::Perlin& GetDistortX() const { return m_distortX; }
  const noise::module::Perlin& GetDistortY() const { return m_distortY; }
  const noise::module::Perlin& GetDistortZ() const { return m_distortZ; }

  void SetFrequency(double frequency);
  void SetPower(double power) { m_power = power; }
  // Octave count of the three fields. Throws noise::ExceptionInvalidParam,
  // changing none of them, outside 1 to 30.
  void SetRoughness(int roughness);
  // Seeds seed, seed + 1 and seed + 2, wrapping at the ends of the int range.
  void SetSeed(int seed);

  int GetSourceModuleCount() const override { return 1; }

  // Stores the displaced point in LastDisplacedPoint; returns 0.
  double GetValue(double x, double y, double z) const override;

 private:
  double m_power = DEFAULT_DIRECT_TURBULENCE_POWER;
  noise::module::Perlin m_distortX;
  noise::module::Perlin m_distortY;
  noise::module::Perlin m_distortZ;
};

}  // namespace noisebind

#endif  // NOISEBIND_MODULES_DIRECT_TURBULENCE_H
