// Functions stored directly in LibNoise: one library call each.
#include <libnoise/interp.h>
#include <libnoise/latlon.h>
#include <libnoise/noisegen.h>

#include "bind/quality.h"
#include "entry/conversions.h"
#include "subjects.h"
#include "variants.h"

namespace bench {
namespace {

using noisebind::DecodeQuality;
using noisebind::ToInt32;

double SCurve3Step(double sum, const Points& points, std::size_t i) {
  return AddResult(sum, noise::SCurve3(Arg(points, 0, i)));
}
int SCurve3Floor(lua_State* L) {
  const double a = FloorNumber(L, 1);
  FloorPush(L, noise::SCurve3(a));
  return 1;
}

double SCurve5Step(double sum, const Points& points, std::size_t i) {
  return AddResult(sum, noise::SCurve5(Arg(points, 0, i)));
}
int SCurve5Floor(lua_State* L) {
  const double a = FloorNumber(L, 1);
  FloorPush(L, noise::SCurve5(a));
  return 1;
}

double LinearStep(double sum, const Points& points, std::size_t i) {
  return AddResult(sum,
                   noise::LinearInterp(Arg(points, 0, i), Arg(points, 1, i), Arg(points, 2, i)));
}
int LinearFloor(lua_State* L) {
  const double p0 = FloorNumber(L, 1);
  const double p1 = FloorNumber(L, 2);
  const double a = FloorNumber(L, 3);
  FloorPush(L, noise::LinearInterp(p0, p1, a));
  return 1;
}

double CubicStep(double sum, const Points& points, std::size_t i) {
  return AddResult(sum, noise::CubicInterp(Arg(points, 0, i), Arg(points, 1, i), Arg(points, 2, i),
                                           Arg(points, 3, i), Arg(points, 4, i)));
}
int CubicFloor(lua_State* L) {
  const double p0 = FloorNumber(L, 1);
  const double p1 = FloorNumber(L, 2);
  const double p2 = FloorNumber(L, 3);
  const double p3 = FloorNumber(L, 4);
  const double a = FloorNumber(L, 5);
  FloorPush(L, noise::CubicInterp(p0, p1, p2, p3, a));
  return 1;
}

double GradientCoherentStep(double sum, const Points& points, std::size_t i) {
  return AddResult(sum, noise::GradientCoherentNoise3D(
                            Arg(points, 0, i), Arg(points, 1, i), Arg(points, 2, i),
                            ToInt32(Arg(points, 3, i)), DecodeQuality(Arg(points, 4, i))));
}
int GradientCoherentFloor(lua_State* L) {
  const double x = FloorNumber(L, 1);
  const double y = FloorNumber(L, 2);
  const double z = FloorNumber(L, 3);
  const int seed = ToInt32(FloorNumber(L, 4));
  const noise::NoiseQuality quality = DecodeQuality(FloorNumber(L, 5));
  FloorPush(L, noise::GradientCoherentNoise3D(x, y, z, seed, quality));
  return 1;
}

double GradientStep(double sum, const Points& points, std::size_t i) {
  return AddResult(sum,
                   noise::GradientNoise3D(Arg(points, 0, i), Arg(points, 1, i), Arg(points, 2, i),
                                          ToInt32(Arg(points, 3, i)), ToInt32(Arg(points, 4, i)),
                                          ToInt32(Arg(points, 5, i)), ToInt32(Arg(points, 6, i))));
}
int GradientFloor(lua_State* L) {
  const double fx = FloorNumber(L, 1);
  const double fy = FloorNumber(L, 2);
  const double fz = FloorNumber(L, 3);
  const int ix = ToInt32(FloorNumber(L, 4));
  const int iy = ToInt32(FloorNumber(L, 5));
  const int iz = ToInt32(FloorNumber(L, 6));
  const int seed = ToInt32(FloorNumber(L, 7));
  FloorPush(L, noise::GradientNoise3D(fx, fy, fz, ix, iy, iz, seed));
  return 1;
}

double IntStep(double sum, const Points& points, std::size_t i) {
  const int value = noise::IntValueNoise3D(ToInt32(Arg(points, 0, i)), ToInt32(Arg(points, 1, i)),
                                           ToInt32(Arg(points, 2, i)), ToInt32(Arg(points, 3, i)));
  return sum + static_cast<double>(static_cast<float>(value));
}
int IntFloor(lua_State* L) {
  const int x = ToInt32(FloorNumber(L, 1));
  const int y = ToInt32(FloorNumber(L, 2));
  const int z = ToInt32(FloorNumber(L, 3));
  const int seed = ToInt32(FloorNumber(L, 4));
  lua_pushnumber(L, static_cast<float>(noise::IntValueNoise3D(x, y, z, seed)));
  return 1;
}

double LatLonStep(double sum, const Points& points, std::size_t i) {
  double x = Arg(points, 2, i);
  double y = Arg(points, 3, i);
  double z = Arg(points, 4, i);
  noise::LatLonToXYZ(Arg(points, 0, i), Arg(points, 1, i), x, y, z);
  return AddResult(AddResult(AddResult(sum, x), y), z);
}
int LatLonFloor(lua_State* L) {
  const double latitude = FloorNumber(L, 1);
  const double longitude = FloorNumber(L, 2);
  if (!(latitude >= -90.0 && latitude <= 90.0)) return luaL_error(L, "bad latitude");
  if (!(longitude >= -180.0 && longitude <= 180.0)) return luaL_error(L, "bad longitude");
  double x = FloorNumber(L, 3);
  double y = FloorNumber(L, 4);
  double z = FloorNumber(L, 5);
  noise::LatLonToXYZ(latitude, longitude, x, y, z);
  FloorPush(L, x);
  FloorPush(L, y);
  FloorPush(L, z);
  return 3;
}

constexpr Range kUnit{0.0, 1.0};
constexpr Range kValue{-1.0, 1.0};
constexpr Range kSpace{-64.0, 64.0};
constexpr Range kLattice{-1000.0, 1000.0};
constexpr Range kSeed{0.0, 1000.0};
constexpr Range kQuality{1.0, 4.0};

}  // namespace

void AddPrimarySubjects(std::vector<Subject>& list) {
  list.insert(list.end(),
              {
                  {"SCurve3", 1, 1, {kUnit}, NativeLoop<SCurve3Step>, SCurve3Floor, nullptr},
                  {"SCurve5", 1, 1, {kUnit}, NativeLoop<SCurve5Step>, SCurve5Floor, nullptr},
                  {"InterpolateLinear",
                   3,
                   1,
                   {kValue, kValue, kUnit},
                   NativeLoop<LinearStep>,
                   LinearFloor,
                   nullptr},
                  {"InterpolateCubic",
                   5,
                   1,
                   {kValue, kValue, kValue, kValue, kUnit},
                   NativeLoop<CubicStep>,
                   CubicFloor,
                   nullptr},
                  {"GradientCoherent3DNoise",
                   5,
                   1,
                   {kSpace, kSpace, kSpace, kSeed, kQuality},
                   NativeLoop<GradientCoherentStep>,
                   GradientCoherentFloor,
                   nullptr},
                  {"Gradient3DNoise",
                   7,
                   1,
                   {kUnit, kUnit, kUnit, kLattice, kLattice, kLattice, kSeed},
                   NativeLoop<GradientStep>,
                   GradientFloor,
                   nullptr},
                  {"Int3DNoise",
                   4,
                   1,
                   {kLattice, kLattice, kLattice, kSeed},
                   NativeLoop<IntStep>,
                   IntFloor,
                   nullptr},
                  {"LatLonOnSphere",
                   5,
                   3,
                   {{-90.0, 90.0}, {-180.0, 180.0}, kValue, kValue, kValue},
                   NativeLoop<LatLonStep>,
                   LatLonFloor,
                   nullptr},
              });
}

}  // namespace bench
