#include "settings_snapshot.h"

#include <cstdio>
#include <cstring>

#include "instances/shared_instances.h"

namespace noisebind::fuzz {
namespace {

const char* const kFieldNames[] = {
#define NOISEBIND_FIELD_NAME(name) #name,
    NOISEBIND_SETTING_FIELDS(NOISEBIND_FIELD_NAME)
#undef NOISEBIND_FIELD_NAME
};

// Records the point it is evaluated at.
class PointProbe final : public noise::module::Module {
 public:
  PointProbe() : Module(0) {}
  int GetSourceModuleCount() const override { return 0; }
  double GetValue(double x, double y, double z) const override {
    m_point = {x, y, z};
    return 0.0;
  }
  mutable std::array<double, 3> m_point{};
};

// The code of the shared module `module` is, -1 for any other object.
double ModuleIndex(const noise::module::Module& module) {
  const noise::module::Module* const modules[] = {
      &SharedInstances::billow,      &SharedInstances::checkerboard, &SharedInstances::curve,
      &SharedInstances::cylinders,   &SharedInstances::exponent,     &SharedInstances::perlin,
      &SharedInstances::ridgedMulti, &SharedInstances::spheres,      &SharedInstances::terrace,
      &SharedInstances::turbulence,  &SharedInstances::voronoi,
  };
  for (int i = 0; i < 11; ++i) {
    if (modules[i] == &module) return i + 1;
  }
  return -1;
}

// The model's module is asked for only once it has a source: before that it
// may have none at all.
template <class Model>
void ReadSource(const SharedModel<Model>& shared, Settings& s, Field source, Field module) {
  s.fields[source] = static_cast<double>(shared.source);
  s.fields[module] =
      shared.source == ModuleCode::kNone ? 0.0 : ModuleIndex(shared.model.GetModule());
}

void ReadLinePoints(Settings& s) {
  static PointProbe probe;
  auto& line = SharedInstances::line;
  const noise::module::Module* original =
      line.source == ModuleCode::kNone ? nullptr : &line.model.GetModule();
  line.model.SetModule(probe);
  line.model.GetValue(0.0);
  s.fields[kLineStartX] = probe.m_point[0];
  s.fields[kLineStartY] = probe.m_point[1];
  s.fields[kLineStartZ] = probe.m_point[2];
  line.model.GetValue(1.0);
  s.fields[kLineEndX] = probe.m_point[0];
  s.fields[kLineEndY] = probe.m_point[1];
  s.fields[kLineEndZ] = probe.m_point[2];
  // Without a source the probe may stay: the model is not evaluated then.
  if (original != nullptr) line.model.SetModule(*original);
}

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof(double)) == 0;
}

std::string Describe(const char* name, double expected, double actual) {
  char text[160];
  std::snprintf(text, sizeof(text), " %s: expected %.17g, got %.17g;", name, expected, actual);
  return text;
}

}  // namespace

Settings TakeSnapshot() {
  Settings s;
  auto& f = s.fields;
  const auto& billow = SharedInstances::billow;
  f[kBillowFrequency] = billow.GetFrequency();
  f[kBillowLacunarity] = billow.GetLacunarity();
  f[kBillowQuality] = billow.GetNoiseQuality();
  f[kBillowOctaves] = billow.GetOctaveCount();
  f[kBillowPersistence] = billow.GetPersistence();
  f[kBillowSeed] = billow.GetSeed();
  const auto& perlin = SharedInstances::perlin;
  f[kPerlinFrequency] = perlin.GetFrequency();
  f[kPerlinLacunarity] = perlin.GetLacunarity();
  f[kPerlinQuality] = perlin.GetNoiseQuality();
  f[kPerlinOctaves] = perlin.GetOctaveCount();
  f[kPerlinPersistence] = perlin.GetPersistence();
  f[kPerlinSeed] = perlin.GetSeed();
  const auto& ridged = SharedInstances::ridgedMulti;
  f[kRidgedFrequency] = ridged.GetFrequency();
  f[kRidgedLacunarity] = ridged.GetLacunarity();
  f[kRidgedQuality] = ridged.GetNoiseQuality();
  f[kRidgedOctaves] = ridged.GetOctaveCount();
  f[kRidgedSeed] = ridged.GetSeed();
  const auto& voronoi = SharedInstances::voronoi;
  f[kVoronoiFrequency] = voronoi.GetFrequency();
  f[kVoronoiDisplacement] = voronoi.GetDisplacement();
  f[kVoronoiDistance] = voronoi.IsDistanceEnabled();
  f[kVoronoiSeed] = voronoi.GetSeed();
  f[kCylindersFrequency] = SharedInstances::cylinders.GetFrequency();
  f[kSpheresFrequency] = SharedInstances::spheres.GetFrequency();
  f[kExponent] = SharedInstances::exponent.GetExponent();
  const auto& turbulence = SharedInstances::turbulence;
  f[kTurbulenceFrequencyX] = turbulence.GetDistortX().GetFrequency();
  f[kTurbulenceFrequencyY] = turbulence.GetDistortY().GetFrequency();
  f[kTurbulenceFrequencyZ] = turbulence.GetDistortZ().GetFrequency();
  f[kTurbulencePower] = turbulence.GetPower();
  f[kTurbulenceRoughnessX] = turbulence.GetDistortX().GetOctaveCount();
  f[kTurbulenceRoughnessY] = turbulence.GetDistortY().GetOctaveCount();
  f[kTurbulenceRoughnessZ] = turbulence.GetDistortZ().GetOctaveCount();
  f[kTurbulenceSeedX] = turbulence.GetDistortX().GetSeed();
  f[kTurbulenceSeedY] = turbulence.GetDistortY().GetSeed();
  f[kTurbulenceSeedZ] = turbulence.GetDistortZ().GetSeed();
  ReadSource(SharedInstances::line, s, kLineSource, kLineModule);
  f[kLineAttenuate] = SharedInstances::line.model.GetAttenuate();
  ReadLinePoints(s);
  ReadSource(SharedInstances::plane, s, kPlaneSource, kPlaneModule);
  ReadSource(SharedInstances::sphere, s, kSphereSource, kSphereModule);
  ReadSource(SharedInstances::cylinder, s, kCylinderSource, kCylinderModule);

  const DirectCurve& curve = SharedInstances::curve;
  s.curve.assign(curve.GetControlPointArray(),
                 curve.GetControlPointArray() + curve.GetControlPointCount());
  const DirectTerrace& terrace = SharedInstances::terrace;
  s.terrace.assign(terrace.GetControlPointArray(),
                   terrace.GetControlPointArray() + terrace.GetControlPointCount());
  return s;
}

std::string Differences(const Settings& expected, const Settings& actual,
                        const FieldSet& unpredicted) {
  std::string text;
  for (int i = 0; i < kFieldCount; ++i) {
    if (!unpredicted[i] && !SameBits(expected.fields[i], actual.fields[i])) {
      text += Describe(kFieldNames[i], expected.fields[i], actual.fields[i]);
    }
  }
  bool curveSame = expected.curve.size() == actual.curve.size();
  for (size_t i = 0; curveSame && i < expected.curve.size(); ++i) {
    curveSame = SameBits(expected.curve[i].input, actual.curve[i].input) &&
                SameBits(expected.curve[i].output, actual.curve[i].output);
  }
  if (!curveSame) {
    text += " curve points: expected " + std::to_string(expected.curve.size()) + ", got " +
            std::to_string(actual.curve.size()) + " (or other values);";
  }
  bool terraceSame = expected.terrace.size() == actual.terrace.size();
  for (size_t i = 0; terraceSame && i < expected.terrace.size(); ++i) {
    terraceSame = SameBits(expected.terrace[i], actual.terrace[i]);
  }
  if (!terraceSame) {
    text += " terrace values: expected " + std::to_string(expected.terrace.size()) + ", got " +
            std::to_string(actual.terrace.size()) + " (or other values);";
  }
  return text;
}

}  // namespace noisebind::fuzz
