// The modules' Calc functions.
#include <libnoise/module/billow.h>
#include <libnoise/module/checkerboard.h>
#include <libnoise/module/cylinders.h>
#include <libnoise/module/perlin.h>
#include <libnoise/module/ridgedmulti.h>
#include <libnoise/module/spheres.h>
#include <libnoise/module/voronoi.h>

#include "modules/direct_curve.h"
#include "modules/direct_exponent.h"
#include "modules/direct_terrace.h"
#include "modules/direct_turbulence.h"
#include "subjects.h"
#include "variants.h"

namespace bench {
namespace {

// Library defaults throughout, as the extension's instances have at load.
noise::module::Billow billow;
noise::module::Checkerboard checkerboard;
noise::module::Cylinders cylinders;
noise::module::Perlin perlin;
noise::module::RidgedMulti ridgedMulti;
noise::module::Spheres spheres;
noise::module::Voronoi voronoi;
noisebind::DirectExponent exponent;
noisebind::DirectTurbulence turbulence;

// The control points both sides are given; the setup below gives the
// extension the same ones. (Definitions in one file initialise in order.)
noisebind::DirectCurve curve;
noisebind::DirectTerrace terrace;
[[maybe_unused]] const bool pointsAdded = [] {
  curve.AddControlPoint(-1.0, -1.0);
  curve.AddControlPoint(-0.25, 0.5);
  curve.AddControlPoint(0.25, -0.5);
  curve.AddControlPoint(1.0, 1.0);
  terrace.AddControlPoint(-1.0);
  terrace.AddControlPoint(-0.2);
  terrace.AddControlPoint(0.4);
  terrace.AddControlPoint(1.0);
  return true;
}();
constexpr char kCurveSetup[] =
    "local c = LibNoise.M_Curve c.AddPoint(-1, -1) c.AddPoint(-0.25, 0.5) "
    "c.AddPoint(0.25, -0.5) c.AddPoint(1, 1)";
constexpr char kTerraceSetup[] =
    "local t = LibNoise.M_Terrace t.AddPoint(-1) t.AddPoint(-0.2) t.AddPoint(0.4) t.AddPoint(1)";

// Cylinders stand along the y axis: Calc(x, z) evaluates (x, 0, z).
double CylindersStep(double sum, const Points& points, std::size_t i) {
  return AddResult(sum, cylinders.GetValue(Arg(points, 0, i), 0.0, Arg(points, 1, i)));
}
int CylindersFloor(lua_State* L) {
  const double x = FloorNumber(L, 1);
  const double z = FloorNumber(L, 2);
  FloorPush(L, cylinders.GetValue(x, 0.0, z));
  return 1;
}

// Turbulence hands back the displaced point, three results.
double TurbulenceStep(double sum, const Points& points, std::size_t i) {
  turbulence.GetValue(Arg(points, 0, i), Arg(points, 1, i), Arg(points, 2, i));
  const noisebind::DisplacedPoint point = noisebind::LastDisplacedPoint;
  return AddResult(AddResult(AddResult(sum, point.x), point.y), point.z);
}
int TurbulenceFloor(lua_State* L) {
  const double x = FloorNumber(L, 1);
  const double y = FloorNumber(L, 2);
  const double z = FloorNumber(L, 3);
  turbulence.GetValue(x, y, z);
  const noisebind::DisplacedPoint point = noisebind::LastDisplacedPoint;
  FloorPush(L, point.x);
  FloorPush(L, point.y);
  FloorPush(L, point.z);
  return 3;
}

constexpr Range kSpace{-64.0, 64.0};
constexpr Range kUnit{-1.2, 1.2};

}  // namespace

void AddModuleSubjects(std::vector<Subject>& list) {
  list.insert(list.end(), {
                              {"M_Perlin.Calc",
                               3,
                               1,
                               {kSpace, kSpace, kSpace},
                               NativeLoop<ModuleStep<perlin>>,
                               ModuleFloor<perlin>,
                               nullptr},
                              {"M_Billow.Calc",
                               3,
                               1,
                               {kSpace, kSpace, kSpace},
                               NativeLoop<ModuleStep<billow>>,
                               ModuleFloor<billow>,
                               nullptr},
                              {"M_RidgedMulti.Calc",
                               3,
                               1,
                               {kSpace, kSpace, kSpace},
                               NativeLoop<ModuleStep<ridgedMulti>>,
                               ModuleFloor<ridgedMulti>,
                               nullptr},
                              {"M_Voronoi.Calc",
                               3,
                               1,
                               {kSpace, kSpace, kSpace},
                               NativeLoop<ModuleStep<voronoi>>,
                               ModuleFloor<voronoi>,
                               nullptr},
                              {"M_CBoard.Calc",
                               3,
                               1,
                               {kSpace, kSpace, kSpace},
                               NativeLoop<ModuleStep<checkerboard>>,
                               ModuleFloor<checkerboard>,
                               nullptr},
                              {"M_Cylinders.Calc",
                               2,
                               1,
                               {kSpace, kSpace},
                               NativeLoop<CylindersStep>,
                               CylindersFloor,
                               nullptr},
                              {"M_Spheres.Calc",
                               3,
                               1,
                               {kSpace, kSpace, kSpace},
                               NativeLoop<ModuleStep<spheres>>,
                               ModuleFloor<spheres>,
                               nullptr},
                              {"M_Turbulence.Calc",
                               3,
                               3,
                               {kSpace, kSpace, kSpace},
                               NativeLoop<TurbulenceStep>,
                               TurbulenceFloor,
                               nullptr},
                              {"M_Exponent.Calc",
                               1,
                               1,
                               {kUnit},
                               NativeLoop<ModuleStepX<exponent>>,
                               ModuleFloorX<exponent>,
                               nullptr},
                              {"M_Curve.Calc",
                               1,
                               1,
                               {kUnit},
                               NativeLoop<ModuleStepX<curve>>,
                               ModuleFloorX<curve>,
                               kCurveSetup},
                              {"M_Terrace.Calc",
                               1,
                               1,
                               {kUnit},
                               NativeLoop<ModuleStepX<terrace>>,
                               ModuleFloorX<terrace>,
                               kTerraceSetup},
                          });
}

}  // namespace bench
