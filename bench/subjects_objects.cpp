// Noise objects: obj:calc of a 6-octave Perlin object and of a graph of ten
// modules, against the same libnoise modules in C++. Results are doubles,
// so a and b add them unnarrowed.
#include <libnoise/noise.h>

#include "subjects.h"
#include "variants.h"

namespace bench {
namespace {

using namespace noise::module;

// The graph on both sides: continents plus mountains or hills, chosen by a
// terrain-type field, warped and clamped.
constexpr char kGraphSetup[] = R"(
bench_perlin = noise.Perlin()
local continents = noise.Perlin{ frequency = 0.5, seed = 1 }
local mountains = noise.ScaleBias(noise.RidgedMulti{ frequency = 2, seed = 2 },
  { scale = 0.5, bias = 0.25 })
local hills = noise.ScaleBias(noise.Billow{ frequency = 4, octaves = 3, seed = 3 },
  { scale = 0.125, bias = 0 })
local kind = noise.Perlin{ frequency = 0.25, octaves = 3, seed = 4 }
local land = noise.Add(continents, noise.Select(hills, mountains, kind,
  { lower = 0, upper = 1000, falloff = 0.125 }))
bench_graph = noise.Clamp(noise.Turbulence(land, { frequency = 4, power = 0.125, roughness = 2,
  seed = 5 }), { lower = -1, upper = 1 })
)";

struct Graph {
  Perlin continents, kind;
  RidgedMulti ridged;
  ScaleBias mountains, hills;
  Billow billow;
  Select select;
  Add land;
  Turbulence turbulence;
  Clamp clamp;

  Graph() {
    continents.SetFrequency(0.5);
    continents.SetSeed(1);
    ridged.SetFrequency(2);
    ridged.SetSeed(2);
    mountains.SetSourceModule(0, ridged);
    mountains.SetScale(0.5);
    mountains.SetBias(0.25);
    billow.SetFrequency(4);
    billow.SetOctaveCount(3);
    billow.SetSeed(3);
    hills.SetSourceModule(0, billow);
    hills.SetScale(0.125);
    hills.SetBias(0);
    kind.SetFrequency(0.25);
    kind.SetOctaveCount(3);
    kind.SetSeed(4);
    select.SetSourceModule(0, hills);
    select.SetSourceModule(1, mountains);
    select.SetSourceModule(2, kind);
    select.SetBounds(0, 1000);
    select.SetEdgeFalloff(0.125);
    land.SetSourceModule(0, continents);
    land.SetSourceModule(1, select);
    turbulence.SetSourceModule(0, land);
    turbulence.SetFrequency(4);
    turbulence.SetPower(0.125);
    turbulence.SetRoughness(2);
    turbulence.SetSeed(5);
    clamp.SetSourceModule(0, turbulence);
    clamp.SetBounds(-1, 1);
  }
};

Perlin perlin;
const Graph graph;

// The graph's output module, as a template argument can name it.
struct GraphOutput {
  double GetValue(double x, double y, double z) const { return graph.clamp.GetValue(x, y, z); }
};
const GraphOutput graphOutput;

template <auto& module>
double DoubleStep(double sum, const Points& points, std::size_t i) {
  return sum + module.GetValue(Arg(points, 0, i), Arg(points, 1, i), Arg(points, 2, i));
}

template <auto& module>
int DoubleFloor(lua_State* L) {
  const double x = FloorNumber(L, 1);
  const double y = FloorNumber(L, 2);
  const double z = FloorNumber(L, 3);
  lua_pushnumber(L, module.GetValue(x, y, z));
  return 1;
}

constexpr Range kSpace{-64.0, 64.0};

}  // namespace

void AddObjectSubjects(std::vector<Subject>& list) {
  list.push_back({"Perlin:calc",
                  3,
                  1,
                  {kSpace, kSpace, kSpace},
                  NativeLoop<DoubleStep<perlin>>,
                  DoubleFloor<perlin>,
                  kGraphSetup,
                  "bench_perlin"});
  list.push_back({"graph:calc",
                  3,
                  1,
                  {kSpace, kSpace, kSpace},
                  NativeLoop<DoubleStep<graphOutput>>,
                  DoubleFloor<graphOutput>,
                  kGraphSetup,
                  "bench_graph"});
}

}  // namespace bench
