// The instance copier of a library with the core linked in (the Lua
// module): maps of the generators' Calc functions evaluate copies of the
// shared generators, so that a map holds the ExtensionLock only while the
// copy is made. Linked only where the core is; vessa's extension is a file
// of its own whose instances no other code can reach.
#include <cstring>
#include <memory>
#include <type_traits>

#include "entry/conversions.h"
#include "entry/script_tables.h"
#include "instances/shared_instances.h"
#include "maps/libnoise_source.h"

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

// How a Calc reads its arguments: a point, or (x, z) with y = 0.
enum class Arguments { kPoint, kXZ };

template <class Module, Arguments kArguments>
class GeneratorCopy final : public InstanceCopy {
 public:
  explicit GeneratorCopy(const Module& shared) { CopySettings(shared, m_module); }
  double Value(const double* args) const override {
    const double value = kArguments == Arguments::kPoint
                             ? m_module.GetValue(args[0], args[1], args[2])
                             : m_module.GetValue(args[0], 0.0, args[1]);
    return ToFloat(value);
  }

 private:
  Module m_module;
};

template <auto& shared, Arguments kArguments = Arguments::kPoint>
std::unique_ptr<InstanceCopy> Copy() {
  using Module = std::remove_reference_t<decltype(shared)>;
  return std::make_unique<GeneratorCopy<Module, kArguments>>(shared);
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
