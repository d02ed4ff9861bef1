// Every setting of the shared instances that a script can change, read back
// through the instances' getters, so that a call's effect can be compared
// with what it should have been.
#ifndef NOISEBIND_FUZZ_SETTINGS_SNAPSHOT_H
#define NOISEBIND_FUZZ_SETTINGS_SNAPSHOT_H

#include <array>
#include <bitset>
#include <string>
#include <vector>

#include "modules/direct_curve.h"

namespace noisebind::fuzz {

#define NOISEBIND_SETTING_FIELDS(X) \
  X(BillowFrequency)                \
  X(BillowLacunarity)               \
  X(BillowQuality)                  \
  X(BillowOctaves)                  \
  X(BillowPersistence)              \
  X(BillowSeed)                     \
  X(PerlinFrequency)                \
  X(PerlinLacunarity)               \
  X(PerlinQuality)                  \
  X(PerlinOctaves)                  \
  X(PerlinPersistence)              \
  X(PerlinSeed)                     \
  X(RidgedFrequency)                \
  X(RidgedLacunarity)               \
  X(RidgedQuality)                  \
  X(RidgedOctaves)                  \
  X(RidgedSeed)                     \
  X(VoronoiFrequency)               \
  X(VoronoiDisplacement)            \
  X(VoronoiDistance)                \
  X(VoronoiSeed)                    \
  X(CylindersFrequency)             \
  X(SpheresFrequency)               \
  X(Exponent)                       \
  X(TurbulenceFrequencyX)           \
  X(TurbulenceFrequencyY)           \
  X(TurbulenceFrequencyZ)           \
  X(TurbulencePower)                \
  X(TurbulenceRoughnessX)           \
  X(TurbulenceRoughnessY)           \
  X(TurbulenceRoughnessZ)           \
  X(TurbulenceSeedX)                \
  X(TurbulenceSeedY)                \
  X(TurbulenceSeedZ)                \
  X(LineSource)                     \
  X(LineModule)                     \
  X(LineAttenuate)                  \
  X(LineStartX)                     \
  X(LineStartY)                     \
  X(LineStartZ)                     \
  X(LineEndX)                       \
  X(LineEndY)                       \
  X(LineEndZ)                       \
  X(PlaneSource)                    \
  X(PlaneModule)                    \
  X(SphereSource)                   \
  X(SphereModule)                   \
  X(CylinderSource)                 \
  X(CylinderModule)

enum Field : int {
#define NOISEBIND_FIELD_ENUM(name) k##name,
  NOISEBIND_SETTING_FIELDS(NOISEBIND_FIELD_ENUM)
#undef NOISEBIND_FIELD_ENUM
      kFieldCount
};

using FieldSet = std::bitset<kFieldCount>;

struct Settings {
  std::array<double, kFieldCount> fields{};
  std::vector<CurvePoint> curve;
  std::vector<double> terrace;
};

// Reads every setting. The line model's points have no getters: they are
// taken as the points the model asks its module for at 0 and 1, through a
// module that records them.
Settings TakeSnapshot();

// What differs, bit for bit, between `expected` and `actual`, leaving out
// the fields in `unpredicted`; empty when nothing does.
std::string Differences(const Settings& expected, const Settings& actual,
                        const FieldSet& unpredicted);

}  // namespace noisebind::fuzz

#endif  // NOISEBIND_FUZZ_SETTINGS_SNAPSHOT_H
