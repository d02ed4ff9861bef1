// The functions stored directly in LibNoise: interpolation, S-curves, noise
// primitives and latitude/longitude conversion, one library call each.
#include <libnoise/interp.h>
#include <libnoise/latlon.h>
#include <libnoise/noisegen.h>

#include <utility>

#include "bind/quality.h"
#include "entry/conversions.h"
#include "entry/resolver.h"
#include "entry/script_tables.h"

namespace noisebind {
namespace {

constexpr char kLatitudeError[] =
    "LibNoise ERROR: Invalid bounds for latitude given. They must be within 90 and -90 "
    "inclusive.\n";
constexpr char kLongitudeError[] =
    "LibNoise ERROR: Invalid bounds for longitude given. They must be within 180 and -180 "
    "inclusive.\n";

template <int... slot>
void CheckNumbersAt(ScriptState* state, std::integer_sequence<int, slot...>) {
  (Host(state).CheckArgType(slot + 1, kTypeNumber), ...);
}

// Checks arguments 1 to `count` for numbers, in order. Unrolled: a check of a
// constant index is a compare or two, where a loop costs several times that.
template <int count>
void CheckNumbers(ScriptState* state) {
  CheckNumbersAt(state, std::make_integer_sequence<int, count>{});
}

int InterpolateLinear(ScriptState* state) {
  CheckNumbers<3>(state);
  const double p0 = Host(state).ArgAsNumber(1);
  const double p1 = Host(state).ArgAsNumber(2);
  const double a = Host(state).ArgAsNumber(3);
  const double value = noise::LinearInterp(p0, p1, a);
  Host(state).ReturnNumber(ToFloat(value));
  return 1;
}

int InterpolateCubic(ScriptState* state) {
  CheckNumbers<5>(state);
  const double p0 = Host(state).ArgAsNumber(1);
  const double p1 = Host(state).ArgAsNumber(2);
  const double p2 = Host(state).ArgAsNumber(3);
  const double p3 = Host(state).ArgAsNumber(4);
  const double a = Host(state).ArgAsNumber(5);
  const double value = noise::CubicInterp(p0, p1, p2, p3, a);
  Host(state).ReturnNumber(ToFloat(value));
  return 1;
}

int Gradient3DNoise(ScriptState* state) {
  CheckNumbers<7>(state);
  const double fx = Host(state).ArgAsNumber(1);
  const double fy = Host(state).ArgAsNumber(2);
  const double fz = Host(state).ArgAsNumber(3);
  const int ix = ToInt32(Host(state).ArgAsNumber(4));
  const int iy = ToInt32(Host(state).ArgAsNumber(5));
  const int iz = ToInt32(Host(state).ArgAsNumber(6));
  const int seed = ToInt32(Host(state).ArgAsNumber(7));
  const double value = noise::GradientNoise3D(fx, fy, fz, ix, iy, iz, seed);
  Host(state).ReturnNumber(ToFloat(value));
  return 1;
}

// (x, y, z, seed, quality) to a coherent noise function of the library.
template <double (*coherentNoise)(double, double, double, int, noise::NoiseQuality)>
int CoherentNoise(ScriptState* state) {
  CheckNumbers<5>(state);
  const double x = Host(state).ArgAsNumber(1);
  const double y = Host(state).ArgAsNumber(2);
  const double z = Host(state).ArgAsNumber(3);
  const int seed = ToInt32(Host(state).ArgAsNumber(4));
  const noise::NoiseQuality quality = DecodeQuality(Host(state).ArgAsNumber(5));
  const double value = coherentNoise(x, y, z, seed, quality);
  Host(state).ReturnNumber(ToFloat(value));
  return 1;
}

int Int3DNoise(ScriptState* state) {
  CheckNumbers<4>(state);
  const int x = ToInt32(Host(state).ArgAsNumber(1));
  const int y = ToInt32(Host(state).ArgAsNumber(2));
  const int z = ToInt32(Host(state).ArgAsNumber(3));
  const int seed = ToInt32(Host(state).ArgAsNumber(4));
  const int value = noise::IntValueNoise3D(x, y, z, seed);
  // The nearest float, ties to even: the integer itself is often not one.
  Host(state).ReturnNumber(static_cast<float>(value));
  return 1;
}

// LatLonOnSphere(lat, lon, x, y, z): the point of the unit sphere. The last
// three arguments must be numbers but their values make no difference.
int LatLonOnSphere(ScriptState* state) {
  CheckNumbers<5>(state);
  const double latitude = Host(state).ArgAsNumber(1);
  const double longitude = Host(state).ArgAsNumber(2);
  if (!(latitude >= -90.0 && latitude <= 90.0)) {
    Host(state).ScriptError(kLatitudeError);
    return 0;
  }
  if (!(longitude >= -180.0 && longitude <= 180.0)) {
    Host(state).ScriptError(kLongitudeError);
    return 0;
  }
  double x = Host(state).ArgAsNumber(3);
  double y = Host(state).ArgAsNumber(4);
  double z = Host(state).ArgAsNumber(5);
  noise::LatLonToXYZ(latitude, longitude, x, y, z);
  Host(state).ReturnNumber(ToFloat(x));
  Host(state).ReturnNumber(ToFloat(y));
  Host(state).ReturnNumber(ToFloat(z));
  return 3;
}

// (a) to an S-curve of the library.
template <double (*curve)(double)>
int SCurve(ScriptState* state) {
  Host(state).CheckArgType(1, kTypeNumber);
  const double a = Host(state).ArgAsNumber(1);
  const double value = curve(a);
  Host(state).ReturnNumber(ToFloat(value));
  return 1;
}

const ScriptEntry kFunctions[] = {
    NOISEBIND_ENTRY(InterpolateLinear),
    NOISEBIND_ENTRY(InterpolateCubic),
    NOISEBIND_ENTRY(Gradient3DNoise),
    {"GradientCoherent3DNoise", CoherentNoise<noise::GradientCoherentNoise3D>},
    {"Coherent3DNoise", CoherentNoise<noise::ValueCoherentNoise3D>},
    {"3DNoise", CoherentNoise<noise::ValueCoherentNoise3D>},  // the same function again
    NOISEBIND_ENTRY(Int3DNoise),
    NOISEBIND_ENTRY(LatLonOnSphere),
    {"SCurve3", SCurve<noise::SCurve3>},
    {"SCurve5", SCurve<noise::SCurve5>},
};

}  // namespace

const ScriptTable kPrimaryFunctions = MakeScriptTable(kFunctions);

}  // namespace noisebind
