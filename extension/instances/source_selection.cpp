#include "instances/source_selection.h"

namespace noisebind {

const noise::module::Module* ModelSourceFor(std::int32_t code) {
  switch (static_cast<ModuleCode>(code)) {
    case ModuleCode::kBillow:
      return &SharedInstances::billow;
    case ModuleCode::kCheckerboard:
      return &SharedInstances::checkerboard;
    case ModuleCode::kCurve:
      return &SharedInstances::curve;
    case ModuleCode::kCylinders:
      return &SharedInstances::cylinders;
    case ModuleCode::kExponent:
      return &SharedInstances::exponent;
    case ModuleCode::kPerlin:
      return &SharedInstances::perlin;
    case ModuleCode::kRidgedMulti:
      return &SharedInstances::ridgedMulti;
    case ModuleCode::kSpheres:
      return &SharedInstances::spheres;
    case ModuleCode::kTerrace:
      return &SharedInstances::terrace;
    case ModuleCode::kVoronoi:
      return &SharedInstances::voronoi;
    case ModuleCode::kNone:
    case ModuleCode::kTurbulence:
      break;
  }
  return nullptr;
}

}  // namespace noisebind
