#include "planet_graph.h"

#include <libnoise/noise.h>

#include <utility>

#include "planet_recipe.h"

namespace noisebind::bench {

using objects::Kind;
using objects::Node;
namespace module = noise::module;

// The recipe in libnoise's classes, each module owned by the planet.
class NativeBuilder {
 public:
  using Ref = module::Module&;

  explicit NativeBuilder(NativePlanet& planet) : m_planet(planet) {}

  Ref Perlin(const planet::Fractal& f) { return Fractal<module::Perlin>(f); }
  Ref Billow(const planet::Fractal& f) { return Fractal<module::Billow>(f); }
  Ref RidgedMulti(const planet::Ridged& r) {
    auto& m = New<module::RidgedMulti>();
    m.SetFrequency(r.frequency);
    m.SetOctaveCount(r.octaves);
    m.SetLacunarity(r.lacunarity);
    m.SetSeed(r.seed);
    return m;
  }
  Ref Voronoi(double frequency, double displacement, bool distance, int seed) {
    auto& m = New<module::Voronoi>();
    m.SetFrequency(frequency);
    m.SetDisplacement(displacement);
    m.EnableDistance(distance);
    m.SetSeed(seed);
    return m;
  }
  Ref Const(double value) {
    auto& m = New<module::Const>();
    m.SetConstValue(value);
    return m;
  }

  Ref Curve(Ref source, const planet::CurvePoints& points) {
    auto& m = New<module::Curve>(source);
    for (const auto& [input, output] : points) m.AddControlPoint(input, output);
    return m;
  }
  Ref Terrace(Ref source, const planet::TerracePoints& points) {
    auto& m = New<module::Terrace>(source);
    for (double point : points) m.AddControlPoint(point);
    return m;
  }
  Ref Clamp(Ref source, double lower, double upper) {
    auto& m = New<module::Clamp>(source);
    m.SetBounds(lower, upper);
    return m;
  }
  Ref ScaleBias(Ref source, double scale, double bias) {
    auto& m = New<module::ScaleBias>(source);
    m.SetScale(scale);
    m.SetBias(bias);
    return m;
  }
  Ref Exponent(Ref source, double exponent) {
    auto& m = New<module::Exponent>(source);
    m.SetExponent(exponent);
    return m;
  }
  Ref Abs(Ref source) { return New<module::Abs>(source); }

  Ref Add(Ref a, Ref b) { return New<module::Add>(a, b); }
  Ref Multiply(Ref a, Ref b) { return New<module::Multiply>(a, b); }
  Ref Min(Ref a, Ref b) { return New<module::Min>(a, b); }
  Ref Max(Ref a, Ref b) { return New<module::Max>(a, b); }
  Ref Blend(Ref a, Ref b, Ref control) { return New<module::Blend>(a, b, control); }
  Ref Select(Ref a, Ref b, Ref control, const planet::Band& band) {
    auto& m = New<module::Select>(a, b, control);
    m.SetBounds(band.lower, band.upper);
    m.SetEdgeFalloff(band.falloff);
    return m;
  }

  Ref Turbulence(Ref source, const planet::Warp& w) {
    auto& m = New<module::Turbulence>(source);
    m.SetFrequency(w.frequency);
    m.SetPower(w.power);
    m.SetRoughness(w.roughness);
    m.SetSeed(w.seed);
    return m;
  }
  Ref Displace(Ref source, Ref dx, Ref dy, Ref dz) {
    return New<module::Displace>(source, dx, dy, dz);
  }
  Ref RotatePoint(Ref source, double x, double y, double z) {
    auto& m = New<module::RotatePoint>(source);
    m.SetAngles(x, y, z);
    return m;
  }
  Ref TranslatePoint(Ref source, double x, double y, double z) {
    auto& m = New<module::TranslatePoint>(source);
    m.SetTranslation(x, y, z);
    return m;
  }

  Ref Shared(Ref source) {
    ++m_planet.m_caches;
    return New<module::Cache>(source);
  }

 private:
  // A module of class M reading `sources` in libnoise's order.
  template <class M, class... Sources>
  M& New(Sources&... sources) {
    m_planet.m_modules.push_back(std::make_unique<M>());
    M& m = static_cast<M&>(*m_planet.m_modules.back());
    int index = 0;
    (m.SetSourceModule(index++, sources), ...);
    return m;
  }

  template <class M>
  Ref Fractal(const planet::Fractal& f) {
    auto& m = New<M>();
    m.SetFrequency(f.frequency);
    m.SetOctaveCount(f.octaves);
    m.SetPersistence(f.persistence);
    m.SetLacunarity(f.lacunarity);
    m.SetSeed(f.seed);
    return m;
  }

  NativePlanet& m_planet;
};

NativePlanet::NativePlanet() {
  NativeBuilder builder(*this);
  m_root = &planet::Build(builder);
}

namespace {

// The recipe as noise objects, with the fields a script sets.
class ObjectBuilder {
 public:
  using Ref = Node&;

  explicit ObjectBuilder(ObjectGraph& graph) : m_graph(graph) {}

  Ref Perlin(const planet::Fractal& f) { return Fractal(Kind::kPerlin, f); }
  Ref Billow(const planet::Fractal& f) { return Fractal(Kind::kBillow, f); }
  Ref RidgedMulti(const planet::Ridged& r) {
    return m_graph.Make(Kind::kRidgedMulti, {},
                        {{"frequency", r.frequency},
                         {"octaves", static_cast<double>(r.octaves)},
                         {"lacunarity", r.lacunarity},
                         {"seed", static_cast<double>(r.seed)}});
  }
  Ref Voronoi(double frequency, double displacement, bool distance, int seed) {
    return m_graph.Make(Kind::kVoronoi, {},
                        {{"frequency", frequency},
                         {"displacement", displacement},
                         {"distance", distance ? 1.0 : 0.0},
                         {"seed", static_cast<double>(seed)}});
  }
  Ref Const(double value) { return m_graph.Make(Kind::kConst, {}, {{"value", value}}); }

  Ref Curve(Ref source, const planet::CurvePoints& points) { return m_graph.Curve(source, points); }
  Ref Terrace(Ref source, const planet::TerracePoints& points) {
    return m_graph.Terrace(source, points);
  }
  Ref Clamp(Ref source, double lower, double upper) {
    return m_graph.Make(Kind::kClamp, {&source}, {{"lower", lower}, {"upper", upper}});
  }
  Ref ScaleBias(Ref source, double scale, double bias) {
    return m_graph.Make(Kind::kScaleBias, {&source}, {{"scale", scale}, {"bias", bias}});
  }
  Ref Exponent(Ref source, double exponent) {
    return m_graph.Make(Kind::kExponent, {&source}, {{"exponent", exponent}});
  }
  Ref Abs(Ref source) { return m_graph.Make(Kind::kAbs, {&source}); }

  Ref Add(Ref a, Ref b) { return m_graph.Make(Kind::kAdd, {&a, &b}); }
  Ref Multiply(Ref a, Ref b) { return m_graph.Make(Kind::kMultiply, {&a, &b}); }
  Ref Min(Ref a, Ref b) { return m_graph.Make(Kind::kMin, {&a, &b}); }
  Ref Max(Ref a, Ref b) { return m_graph.Make(Kind::kMax, {&a, &b}); }
  Ref Blend(Ref a, Ref b, Ref control) { return m_graph.Make(Kind::kBlend, {&a, &b, &control}); }
  Ref Select(Ref a, Ref b, Ref control, const planet::Band& band) {
    return m_graph.Make(Kind::kSelect, {&a, &b, &control},
                        {{"lower", band.lower}, {"upper", band.upper}, {"falloff", band.falloff}});
  }

  Ref Turbulence(Ref source, const planet::Warp& w) {
    return m_graph.Make(Kind::kTurbulence, {&source},
                        {{"frequency", w.frequency},
                         {"power", w.power},
                         {"roughness", static_cast<double>(w.roughness)},
                         {"seed", static_cast<double>(w.seed)}});
  }
  Ref Displace(Ref source, Ref dx, Ref dy, Ref dz) {
    return m_graph.Make(Kind::kDisplace, {&source, &dx, &dy, &dz});
  }
  Ref RotatePoint(Ref source, double x, double y, double z) {
    return m_graph.Make(Kind::kRotatePoint, {&source}, {{"x", x}, {"y", y}, {"z", z}});
  }
  Ref TranslatePoint(Ref source, double x, double y, double z) {
    return m_graph.Make(Kind::kTranslatePoint, {&source}, {{"x", x}, {"y", y}, {"z", z}});
  }

  // As a libnoise program writes it: a Cache wherever several modules read.
  Ref Shared(Ref source) { return m_graph.Make(Kind::kCache, {&source}); }

 private:
  Ref Fractal(Kind kind, const planet::Fractal& f) {
    return m_graph.Make(kind, {},
                        {{"frequency", f.frequency},
                         {"octaves", static_cast<double>(f.octaves)},
                         {"persistence", f.persistence},
                         {"lacunarity", f.lacunarity},
                         {"seed", static_cast<double>(f.seed)}});
  }

  ObjectGraph& m_graph;
};

}  // namespace

ObjectPlanet::ObjectPlanet() {
  ObjectBuilder builder(m_graph);
  m_root = &planet::Build(builder);
  ObjectGraph::CheckEvaluable(*m_root);
}

}  // namespace noisebind::bench
