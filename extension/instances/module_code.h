// The codes by which scripts name the module kinds.
#ifndef NOISEBIND_INSTANCES_MODULE_CODE_H
#define NOISEBIND_INSTANCES_MODULE_CODE_H

namespace noisebind {

enum class ModuleCode : int {
  kNone = 0,  // a model that has no source yet
  kBillow = 1,
  kCheckerboard = 2,
  kCurve = 3,
  kCylinders = 4,
  kExponent = 5,
  kPerlin = 6,
  kRidgedMulti = 7,
  kSpheres = 8,
  kTerrace = 9,
  kTurbulence = 10,
  kVoronoi = 11,
};

}  // namespace noisebind

#endif  // NOISEBIND_INSTANCES_MODULE_CODE_H
