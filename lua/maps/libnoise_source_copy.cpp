// The instance copier of a library with the core linked in (the Lua
// module): maps of the Calc functions of the generators, of the models and
// of curve, terrace and exponent evaluate copies of the shared instances,
// so that a map holds the ExtensionLock only while the copy is made. Linked only where the core is;
// vessa's extension is a file of its own whose instances no other code can reach.
#include <cstring>
#include <iterator>
#include <memory>
#include <type_traits>
#include <utility>

#include "entry/conversions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"
#include "instances/source_selection.h"
#include "lua/maps/libnoise_source.h"

namespace noisebind::maps {
namespace {

// Each generator's settings, read from the shared instance through its
// getters and set on the copy through its setters, as a script set them.
// Perlin and Billow have the same ones.
template <class Fractal>
void CopyFractalSettings(const Fractal& from, Fractal& to) {
  to.SetFrequency(from.GetFrequency());
  to.SetLacunarity(from.GetLacunarity());
  to.SetNoiseQuality(from.GetNoiseQuality());
  to.SetOctaveCount(from.GetOctaveCount());
  to.SetPersistence(from.GetPersistence());
  to.SetSeed(from.GetSeed());
}

void CopySettings(const noise::module::Perlin& from, noise::module::Perlin& to) {
  CopyFractalSettings(from, to);
}

void CopySettings(const noise::module::Billow& from, noise::module::Billow& to) {
  CopyFractalSettings(from, to);
}

// The lacunarity also sets the spectral weights, as in the shared instance.
void CopySettings(const noise::module::RidgedMulti& from, noise::module::RidgedMulti& to) {
  to.SetFrequency(from.GetFrequency());
  to.SetLacunarity(from.GetLacunarity());
  to.SetNoiseQuality(from.GetNoiseQuality());
  to.SetOctaveCount(from.GetOctaveCount());
  to.SetSeed(from.GetSeed());
}

void CopySettings(const noise::module::Voronoi& from, noise::module::Voronoi& to) {
  to.SetFrequency(from.GetFrequency());
  to.SetDisplacement(from.GetDisplacement());
  to.EnableDistance(from.IsDistanceEnabled());
  to.SetSeed(from.GetSeed());
}

void CopySettings(const noise::module::Spheres& from, noise::module::Spheres& to) {
  to.SetFrequency(from.GetFrequency());
}

void CopySettings(const noise::module::Cylinders& from, noise::module::Cylinders& to) {
  to.SetFrequency(from.GetFrequency());
}

void CopySettings(const noise::module::Checkerboard&, noise::module::Checkerboard&) {}

// The extension's own modules: their points added in order, as a script
// added them, give the same arrays.
void CopySettings(const DirectCurve& from, DirectCurve& to) {
  const CurvePoint* points = from.GetControlPointArray();
  for (int i = 0; i < from.GetControlPointCount(); ++i) {
    to.AddControlPoint(points[i].input, points[i].output);
  }
}

void CopySettings(const DirectTerrace& from, DirectTerrace& to) {
  const double* points = from.GetControlPointArray();
  for (int i = 0; i < from.GetControlPointCount(); ++i) to.AddControlPoint(points[i]);
}

void CopySettings(const DirectExponent& from, DirectExponent& to) {
  to.SetExponent(from.GetExponent());
}

// A new module with the settings of the shared one; throws std::bad_alloc.
template <auto& shared>
std::unique_ptr<noise::module::Module> CopyModule() {
  using Module = std::remove_reference_t<decltype(shared)>;
  auto copy = std::make_unique<Module>();
  CopySettings(shared, *copy);
  return copy;
}

// The copies of the modules a model may evaluate, by their code (the
// turbulence's value is no result, and no model takes it).
using ModuleCopier = std::unique_ptr<noise::module::Module> (*)();
constexpr ModuleCopier kModuleCopiers[] = {
    nullptr,                              // none
    CopyModule<SharedInstances::billow>,  // 1
    CopyModule<SharedInstances::checkerboard>,
    CopyModule<SharedInstances::curve>,
    CopyModule<SharedInstances::cylinders>,
    CopyModule<SharedInstances::exponent>,
    CopyModule<SharedInstances::perlin>,
    CopyModule<SharedInstances::ridgedMulti>,
    CopyModule<SharedInstances::spheres>,
    CopyModule<SharedInstances::terrace>,
    nullptr,                               // turbulence
    CopyModule<SharedInstances::voronoi>,  // 11
};

// How a Calc reads its arguments: a point, or (x, z) with y = 0.
enum class Arguments { kPoint, kXZ };

template <class Module, Arguments kArguments>
class GeneratorCopy final : public InstanceCopy {
 public:
  explicit GeneratorCopy(const Module& shared) { CopySettings(shared, m_module); }
  bool Value(const double* args, double* value) const override {
    *value = ToFloat(kArguments == Arguments::kPoint ? m_module.GetValue(args[0], args[1], args[2])
                                                     : m_module.GetValue(args[0], 0.0, args[1]));
    return true;
  }

 private:
  Module m_module;
};

template <auto& shared, Arguments kArguments = Arguments::kPoint>
std::unique_ptr<InstanceCopy> Copy() {
  using Module = std::remove_reference_t<decltype(shared)>;
  return std::make_unique<GeneratorCopy<Module, kArguments>>(shared);
}

// Curve, terrace and exponent: Calc(x), the value at (x, 0, 0); null while
// the module has no value (the call says why).
template <auto& shared>
std::unique_ptr<InstanceCopy> CopyAtX() {
  using Module = std::remove_reference_t<decltype(shared)>;
  class AtX final : public InstanceCopy {
   public:
    AtX() { CopySettings(shared, m_module); }
    bool Value(const double* args, double* value) const override {
      *value = ToFloat(m_module.GetValue(args[0], 0.0, 0.0));
      return true;
    }

   private:
    Module m_module;
  };
  if (EvaluationProblem(shared) != nullptr) return nullptr;
  return std::make_unique<AtX>();
}

// How each model's Calc evaluates its arguments, and which it refuses, as
// the calls do (NaN passes the bounds of the sphere and the cylinder).
bool LineValue(const noise::model::Line& model, const double* args, double* value) {
  if (!(args[0] <= 1.0 && args[0] >= 0.0)) return false;
  *value = model.GetValue(args[0]);
  return true;
}
bool PlaneValue(const noise::model::Plane& model, const double* args, double* value) {
  *value = model.GetValue(args[0], args[1]);
  return true;
}
bool SphereValue(const noise::model::Sphere& model, const double* args, double* value) {
  if (args[0] > 180.0 || args[0] < -180.0 || args[1] > 180.0 || args[1] < -180.0) return false;
  *value = model.GetValue(args[0], args[1]);
  return true;
}
bool CylinderValue(const noise::model::Cylinder& model, const double* args, double* value) {
  if (args[0] < 0.0 || args[0] > 360.0) return false;
  *value = model.GetValue(args[0], args[1]);
  return true;
}

// A model with every setting of the shared one (copied whole), over a copy
// of its source; null while it has no source that can be evaluated.
template <auto& shared, auto evaluate>
std::unique_ptr<InstanceCopy> CopyModel() {
  using Model = decltype(shared.model);
  class ModelCopy final : public InstanceCopy {
   public:
    explicit ModelCopy(std::unique_ptr<noise::module::Module> source)
        : m_source(std::move(source)), m_model(shared.model) {
      m_model.SetModule(*m_source);
    }
    bool Value(const double* args, double* value) const override {
      if (!evaluate(m_model, args, value)) return false;
      *value = ToFloat(*value);
      return true;
    }

   private:
    std::unique_ptr<noise::module::Module> m_source;
    Model m_model;
  };
  const auto code = static_cast<std::size_t>(shared.source);
  if (SourceProblem(shared.source, "") != nullptr || code >= std::size(kModuleCopiers) ||
      kModuleCopiers[code] == nullptr) {
    return nullptr;
  }
  return std::make_unique<ModelCopy>(kModuleCopiers[code]());
}

struct Copier {
  const ScriptTable& table;  // the copy stands for this table's Calc
  std::unique_ptr<InstanceCopy> (*copy)();
};

const Copier kCopiers[] = {
    {kBillowFunctions, Copy<SharedInstances::billow>},
    {kCBoardFunctions, Copy<SharedInstances::checkerboard>},
    {kCylindersFunctions, Copy<SharedInstances::cylinders, Arguments::kXZ>},
    {kPerlinFunctions, Copy<SharedInstances::perlin>},
    {kRidgedMultiFunctions, Copy<SharedInstances::ridgedMulti>},
    {kSpheresFunctions, Copy<SharedInstances::spheres>},
    {kVoronoiFunctions, Copy<SharedInstances::voronoi>},
    {kCurveFunctions, CopyAtX<SharedInstances::curve>},
    {kExponentFunctions, CopyAtX<SharedInstances::exponent>},
    {kTerraceFunctions, CopyAtX<SharedInstances::terrace>},
    {kLineFunctions, CopyModel<SharedInstances::line, LineValue>},
    {kPlaneFunctions, CopyModel<SharedInstances::plane, PlaneValue>},
    {kSphereFunctions, CopyModel<SharedInstances::sphere, SphereValue>},
    {kCylinderFunctions, CopyModel<SharedInstances::cylinder, CylinderValue>},
};

bool IsCalcOf(const ScriptTable& table, ScriptFunction function) {
  for (const ScriptEntry& entry : table) {
    if (entry.function == function) return std::strcmp(entry.key, "Calc") == 0;
  }
  return false;
}

std::unique_ptr<InstanceCopy> CopyInstance(ScriptFunction function) {
  for (const Copier& copier : kCopiers) {
    if (IsCalcOf(copier.table, function)) return copier.copy();
  }
  return nullptr;
}

[[maybe_unused]] const bool kRegistered = (RegisterInstanceCopier(CopyInstance), true);

}  // namespace
}  // namespace noisebind::maps
