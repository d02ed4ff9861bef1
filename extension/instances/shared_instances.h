// The one object of each module kind and each surface model that every
// script call acts on, for as long as the library is loaded.
#ifndef NOISEBIND_INSTANCES_SHARED_INSTANCES_H
#define NOISEBIND_INSTANCES_SHARED_INSTANCES_H

#include <libnoise/model/cylinder.h>
#include <libnoise/model/line.h>
#include <libnoise/model/plane.h>
#include <libnoise/model/sphere.h>
#include <libnoise/module/billow.h>
#include <libnoise/module/checkerboard.h>
#include <libnoise/module/cylinders.h>
#include <libnoise/module/perlin.h>
#include <libnoise/module/ridgedmulti.h>
#include <libnoise/module/spheres.h>
#include <libnoise/module/voronoi.h>

#include "instances/module_code.h"
#include "modules/direct_curve.h"
#include "modules/direct_exponent.h"
#include "modules/direct_terrace.h"
#include "modules/direct_turbulence.h"

namespace noisebind {

// A library model and the code of the module it evaluates. The model refers
// to the shared module instance itself, so later settings reach it.
template <class Model>
struct SharedModel {
  Model model;
  ModuleCode source = ModuleCode::kNone;
};

// Constructed when the library loads, in the order declared here: the
// models, then the modules in code order. The modules are destroyed in the
// reverse order when it unloads.
struct SharedInstances {
  static SharedModel<noise::model::Line> line;
  static SharedModel<noise::model::Plane> plane;
  static SharedModel<noise::model::Sphere> sphere;
  static SharedModel<noise::model::Cylinder> cylinder;

  static noise::module::Billow billow;              // 1
  static noise::module::Checkerboard checkerboard;  // 2
  static DirectCurve curve;                         // 3
  static noise::module::Cylinders cylinders;        // 4
  static DirectExponent exponent;                   // 5
  static noise::module::Perlin perlin;              // 6
  static noise::module::RidgedMulti ridgedMulti;    // 7
  static noise::module::Spheres spheres;            // 8
  static DirectTerrace terrace;                     // 9
  static DirectTurbulence turbulence;               // 10
  static noise::module::Voronoi voronoi;            // 11
};

}  // namespace noisebind

#endif  // NOISEBIND_INSTANCES_SHARED_INSTANCES_H
