// The models' Calc functions, each with the default Perlin generator as its
// source. The floor checks the same bounds as the extension does.
#include <libnoise/model/cylinder.h>
#include <libnoise/model/line.h>
#include <libnoise/model/plane.h>
#include <libnoise/model/sphere.h>
#include <libnoise/module/perlin.h>

#include "subjects.h"
#include "variants.h"

namespace bench {
namespace {

noise::module::Perlin source;
noise::model::Line line(source);
noise::model::Plane plane(source);
noise::model::Sphere sphere(source);
noise::model::Cylinder cylinder(source);

double LineStep(double sum, const Points& points, std::size_t i) {
  return AddResult(sum, line.GetValue(Arg(points, 0, i)));
}
int LineFloor(lua_State* L) {
  const double p = FloorNumber(L, 1);
  if (!(p <= 1.0 && p >= 0.0)) return luaL_error(L, "position out of bounds");
  FloorPush(L, line.GetValue(p));
  return 1;
}

double PlaneStep(double sum, const Points& points, std::size_t i) {
  return AddResult(sum, plane.GetValue(Arg(points, 0, i), Arg(points, 1, i)));
}
int PlaneFloor(lua_State* L) {
  const double x = FloorNumber(L, 1);
  const double z = FloorNumber(L, 2);
  FloorPush(L, plane.GetValue(x, z));
  return 1;
}

double SphereStep(double sum, const Points& points, std::size_t i) {
  return AddResult(sum, sphere.GetValue(Arg(points, 0, i), Arg(points, 1, i)));
}
int SphereFloor(lua_State* L) {
  const double latitude = FloorNumber(L, 1);
  const double longitude = FloorNumber(L, 2);
  if (latitude > 180.0 || latitude < -180.0 || longitude > 180.0 || longitude < -180.0) {
    return luaL_error(L, "latitude or longitude out of bounds");
  }
  FloorPush(L, sphere.GetValue(latitude, longitude));
  return 1;
}

double CylinderStep(double sum, const Points& points, std::size_t i) {
  return AddResult(sum, cylinder.GetValue(Arg(points, 0, i), Arg(points, 1, i)));
}
int CylinderFloor(lua_State* L) {
  const double angle = FloorNumber(L, 1);
  const double height = FloorNumber(L, 2);
  if (angle < 0.0 || angle > 360.0) return luaL_error(L, "angle out of bounds");
  FloorPush(L, cylinder.GetValue(angle, height));
  return 1;
}

constexpr Range kSpace{-64.0, 64.0};

}  // namespace

void AddModelSubjects(std::vector<Subject>& list) {
  list.insert(list.end(), {
                              {"Plane.Calc",
                               2,
                               1,
                               {kSpace, kSpace},
                               NativeLoop<PlaneStep>,
                               PlaneFloor,
                               "LibNoise.Plane.SetModule(LibNoise.C_MODULE_PERLIN)"},
                              {"Sphere.Calc",
                               2,
                               1,
                               {{-90.0, 90.0}, {-180.0, 180.0}},
                               NativeLoop<SphereStep>,
                               SphereFloor,
                               "LibNoise.Sphere.SetModule(LibNoise.C_MODULE_PERLIN)"},
                              {"Line.Calc",
                               1,
                               1,
                               {{0.0, 1.0}},
                               NativeLoop<LineStep>,
                               LineFloor,
                               "LibNoise.Line.SetModule(LibNoise.C_MODULE_PERLIN)"},
                              {"Cylinder.Calc",
                               2,
                               1,
                               {{0.0, 360.0}, kSpace},
                               NativeLoop<CylinderStep>,
                               CylinderFloor,
                               "LibNoise.Cylinder.SetModule(LibNoise.C_MODULE_PERLIN)"},
                          });
}

}  // namespace bench
