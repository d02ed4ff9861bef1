#include "call_rules.h"

#include <cmath>
#include <cstdint>

namespace noisebind::fuzz {
namespace {

using Args = std::vector<FakeArg>;

constexpr char kModuleCodeError[] = "Invalid enumeration used for referencing a module";
constexpr char kNoSourceError[] = "has no source module";
constexpr char kCurveError[] = "The curve module has no control points";
constexpr char kTerraceError[] = "The terrace module needs at least two control points";

Prediction Returns(const char* results) {
  Prediction prediction;
  prediction.results = results;
  return prediction;
}

Prediction Fails(const char* error, const char* results = "") {
  Prediction prediction = Returns(results);
  prediction.error = error;
  return prediction;
}

Prediction Refused() {
  Prediction prediction;
  prediction.invalidParam = true;
  return prediction;
}

// 0 fast, 1 standard, 2 best, as the library numbers its qualities.
double Quality(double code) {
  const int decoded = ToInteger(code);
  return decoded == 1 ? 0.0 : decoded == 3 ? 2.0 : 1.0;
}

int Wrapped(int value, int addend) {
  return static_cast<int>(static_cast<std::uint32_t>(value) + static_cast<std::uint32_t>(addend));
}

// What keeps a model from being evaluated, or null.
const char* SourceProblem(const Settings& s, Field source) {
  const double code = s.fields[source];
  if (code == 0.0) return kNoSourceError;
  if (code == 3.0 && s.curve.empty()) return kCurveError;
  if (code == 9.0 && s.terrace.size() < 2) return kTerraceError;
  return nullptr;
}

template <Field F>
Prediction SetNumber(const Args& a, Settings& s) {
  s.fields[F] = a[0].number;
  return Returns("");
}

template <Field F>
Prediction SetInteger(const Args& a, Settings& s) {
  s.fields[F] = ToInteger(a[0].number);
  return Returns("");
}

template <Field F>
Prediction SetQuality(const Args& a, Settings& s) {
  s.fields[F] = Quality(a[0].number);
  return Returns("");
}

template <Field F>
Prediction SetBoolean(const Args& a, Settings& s) {
  s.fields[F] = a[0].truth ? 1.0 : 0.0;
  return Returns("");
}

// Billow and Perlin take 1 to 30 octaves; the ridged multifractal anything
// up to 30.
template <Field F, bool kPositive>
Prediction SetOctaves(const Args& a, Settings& s) {
  const int count = ToInteger(a[0].number);
  if (count > 30 || (kPositive && count < 1)) return Refused();
  s.fields[F] = count;
  return Returns("");
}

template <Field kSource, Field kModule>
Prediction SetModule(const Args& a, Settings& s) {
  const int code = ToInteger(a[0].number);
  if (code < 1 || code > 11 || code == 10) return Fails(kModuleCodeError, "0");
  s.fields[kSource] = code;
  s.fields[kModule] = code;
  return Returns("t");
}

Prediction Value(const Args&, Settings&) {
  return Returns("n");
}

Prediction Point(const Args&, Settings&) {
  return Returns("nnn");
}

Prediction LatLonOnSphere(const Args& a, Settings&) {
  const double latitude = a[0].number;
  const double longitude = a[1].number;
  if (!(latitude >= -90.0 && latitude <= 90.0)) return Fails("bounds for latitude");
  if (!(longitude >= -180.0 && longitude <= 180.0)) return Fails("bounds for longitude");
  return Returns("nnn");
}

Prediction LineCalc(const Args& a, Settings& s) {
  const double p = a[0].number;
  if (std::isnan(p) || p < 0.0 || p > 1.0) return Fails("Invalid bounds for line calculation");
  if (const char* problem = SourceProblem(s, kLineSource)) return Fails(problem);
  return Returns("n");
}

Prediction LinePoint(const Args&, Settings&) {
  Prediction prediction = Returns("");
  for (Field f : {kLineStartX, kLineStartY, kLineStartZ, kLineEndX, kLineEndY, kLineEndZ}) {
    prediction.unpredicted.set(f);
  }
  return prediction;
}

Prediction PlaneCalc(const Args&, Settings& s) {
  if (const char* problem = SourceProblem(s, kPlaneSource)) return Fails(problem);
  return Returns("n");
}

// NaN passes the bounds of the sphere and the cylinder.
Prediction SphereCalc(const Args& a, Settings& s) {
  const double latitude = a[0].number;
  const double longitude = a[1].number;
  if (latitude > 180.0 || latitude < -180.0 || longitude > 180.0 || longitude < -180.0) {
    return Fails("Invalid bounds for sphere calculation");
  }
  if (const char* problem = SourceProblem(s, kSphereSource)) return Fails(problem);
  return Returns("n");
}

Prediction CylinderCalc(const Args& a, Settings& s) {
  const double angle = a[0].number;
  if (angle < 0.0 || angle > 360.0) return Fails("Invalid bounds for cylinder calculation");
  if (const char* problem = SourceProblem(s, kCylinderSource)) return Fails(problem);
  return Returns("n");
}

// Points stay in order of input; an equal input is refused. NaN equals
// nothing and goes after every point it is not less than.
Prediction CurveAddPoint(const Args& a, Settings& s) {
  const CurvePoint point{a[0].number, a[1].number};
  size_t position = 0;
  for (; position < s.curve.size(); ++position) {
    if (point.input == s.curve[position].input) return Refused();
    if (point.input < s.curve[position].input) break;
  }
  for (size_t i = position; i < s.curve.size(); ++i) {
    if (point.input == s.curve[i].input) return Refused();
  }
  s.curve.insert(s.curve.begin() + static_cast<long>(position), point);
  return Returns("");
}

Prediction TerraceAddPoint(const Args& a, Settings& s) {
  const double value = a[0].number;
  size_t position = 0;
  for (; position < s.terrace.size(); ++position) {
    if (value == s.terrace[position]) return Refused();
    if (value < s.terrace[position]) break;
  }
  for (size_t i = position; i < s.terrace.size(); ++i) {
    if (value == s.terrace[i]) return Refused();
  }
  s.terrace.insert(s.terrace.begin() + static_cast<long>(position), value);
  return Returns("");
}

Prediction CurveClear(const Args&, Settings& s) {
  s.curve.clear();
  return Returns("");
}

Prediction TerraceClear(const Args&, Settings& s) {
  s.terrace.clear();
  return Returns("");
}

Prediction CurveCalc(const Args&, Settings& s) {
  return s.curve.empty() ? Fails(kCurveError) : Returns("n");
}

Prediction TerraceCalc(const Args&, Settings& s) {
  return s.terrace.size() < 2 ? Fails(kTerraceError) : Returns("n");
}

Prediction TurbulenceFrequency(const Args& a, Settings& s) {
  for (Field f : {kTurbulenceFrequencyX, kTurbulenceFrequencyY, kTurbulenceFrequencyZ}) {
    s.fields[f] = a[0].number;
  }
  return Returns("");
}

Prediction TurbulenceRoughness(const Args& a, Settings& s) {
  const int count = ToInteger(a[0].number);
  if (count < 1 || count > 30) return Refused();
  for (Field f : {kTurbulenceRoughnessX, kTurbulenceRoughnessY, kTurbulenceRoughnessZ}) {
    s.fields[f] = count;
  }
  return Returns("");
}

Prediction TurbulenceSeed(const Args& a, Settings& s) {
  const int seed = ToInteger(a[0].number);
  s.fields[kTurbulenceSeedX] = seed;
  s.fields[kTurbulenceSeedY] = Wrapped(seed, 1);
  s.fields[kTurbulenceSeedZ] = Wrapped(seed, 2);
  return Returns("");
}

}  // namespace

int ToInteger(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int>(std::trunc(value));
}

const std::vector<CallRule>& CallRules() {
  static const std::vector<CallRule> rules = {
      {"", "InterpolateLinear", "NNN", Value},
      {"", "InterpolateCubic", "NNNNN", Value},
      {"", "Gradient3DNoise", "NNNNNNN", Value},
      {"", "GradientCoherent3DNoise", "NNNNN", Value},
      {"", "Coherent3DNoise", "NNNNN", Value},
      {"", "3DNoise", "NNNNN", Value},
      {"", "Int3DNoise", "NNNN", Value},
      {"", "LatLonOnSphere", "NNNNN", LatLonOnSphere},
      {"", "SCurve3", "N", Value},
      {"", "SCurve5", "N", Value},
      {"Line", "SetAttenuation", "B", SetBoolean<kLineAttenuate>},
      {"Line", "SetStartPoint", "NNN", LinePoint},
      {"Line", "SetEndPoint", "NNN", LinePoint},
      {"Line", "SetModule", "N", SetModule<kLineSource, kLineModule>},
      {"Line", "Calc", "N", LineCalc},
      {"Plane", "SetModule", "N", SetModule<kPlaneSource, kPlaneModule>},
      {"Plane", "Calc", "NN", PlaneCalc},
      {"Sphere", "SetModule", "N", SetModule<kSphereSource, kSphereModule>},
      {"Sphere", "Calc", "NN", SphereCalc},
      {"Cylinder", "SetModule", "N", SetModule<kCylinderSource, kCylinderModule>},
      {"Cylinder", "Calc", "NN", CylinderCalc},
      {"M_Billow", "SetFrequency", "N", SetNumber<kBillowFrequency>},
      {"M_Billow", "SetLacunarity", "N", SetNumber<kBillowLacunarity>},
      {"M_Billow", "SetNoiseQuality", "N", SetQuality<kBillowQuality>},
      {"M_Billow", "SetOctaveCount", "N", SetOctaves<kBillowOctaves, true>},
      {"M_Billow", "SetPersistence", "N", SetNumber<kBillowPersistence>},
      {"M_Billow", "SetSeed", "N", SetInteger<kBillowSeed>},
      {"M_Billow", "Calc", "NNN", Value},
      {"M_CBoard", "Calc", "NNN", Value},
      {"M_Curve", "AddPoint", "NN", CurveAddPoint},
      {"M_Curve", "Clear", "", CurveClear},
      {"M_Curve", "Calc", "N", CurveCalc},
      {"M_Cylinders", "SetFrequency", "N", SetNumber<kCylindersFrequency>},
      {"M_Cylinders", "Calc", "NN", Value},
      {"M_Exponent", "SetExponent", "N", SetNumber<kExponent>},
      {"M_Exponent", "Calc", "N", Value},
      {"M_Perlin", "SetFrequency", "N", SetNumber<kPerlinFrequency>},
      {"M_Perlin", "SetLacunarity", "N", SetNumber<kPerlinLacunarity>},
      {"M_Perlin", "SetNoiseQuality", "N", SetQuality<kPerlinQuality>},
      {"M_Perlin", "SetOctaveCount", "N", SetOctaves<kPerlinOctaves, true>},
      {"M_Perlin", "SetPersistence", "N", SetNumber<kPerlinPersistence>},
      {"M_Perlin", "SetSeed", "N", SetInteger<kPerlinSeed>},
      {"M_Perlin", "Calc", "NNN", Value},
      {"M_RidgedMulti", "SetFrequency", "N", SetNumber<kRidgedFrequency>},
      {"M_RidgedMulti", "SetLacunarity", "N", SetNumber<kRidgedLacunarity>},
      {"M_RidgedMulti", "SetNoiseQuality", "N", SetQuality<kRidgedQuality>},
      {"M_RidgedMulti", "SetOctaveCount", "N", SetOctaves<kRidgedOctaves, false>},
      {"M_RidgedMulti", "SetSeed", "N", SetInteger<kRidgedSeed>},
      {"M_RidgedMulti", "Calc", "NNN", Value},
      {"M_Spheres", "SetFrequency", "N", SetNumber<kSpheresFrequency>},
      {"M_Spheres", "Calc", "NNN", Value},
      {"M_Terrace", "AddPoint", "N", TerraceAddPoint},
      {"M_Terrace", "Clear", "", TerraceClear},
      {"M_Terrace", "Calc", "N", TerraceCalc},
      {"M_Turbulence", "SetFrequency", "N", TurbulenceFrequency},
      {"M_Turbulence", "SetPower", "N", SetNumber<kTurbulencePower>},
      {"M_Turbulence", "SetRoughness", "N", TurbulenceRoughness},
      {"M_Turbulence", "SetSeed", "N", TurbulenceSeed},
      {"M_Turbulence", "Calc", "NNN", Point},
      {"M_Voronoi", "SetFrequency", "N", SetNumber<kVoronoiFrequency>},
      {"M_Voronoi", "SetDisplacement", "N", SetNumber<kVoronoiDisplacement>},
      {"M_Voronoi", "EnableDistance", "B", SetBoolean<kVoronoiDistance>},
      {"M_Voronoi", "SetSeed", "N", SetInteger<kVoronoiSeed>},
      {"M_Voronoi", "Calc", "NNN", Value},
  };
  return rules;
}

}  // namespace noisebind::fuzz
