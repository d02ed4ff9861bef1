// The planet of examples/planet_big.lua as one recipe, built by any builder:
// bench/planet_graph.cpp builds it from libnoise's classes (with Cache where
// a subgraph is shared) and as noise objects, so that both are the same
// graph by construction. The script repeats these constants; keep them in
// step.
//
// The planet is the unit sphere. Continents come first; every terrain type
// (mountains, hills, plains, badlands) is a subgraph of its own, placed by a
// terrain-type field derived from the continents, and rivers cut into the
// land and run on as canyons offshore. It weighs its classes as a real
// libnoise planet program does: 128 modules, 26 of them Cache, one on each
// part that several read and on each group's result (which such programs
// cache whether read once or more).
#ifndef NOISEBIND_BENCH_PLANET_RECIPE_H
#define NOISEBIND_BENCH_PLANET_RECIPE_H

#include <utility>
#include <vector>

namespace noisebind::bench::planet {

// Perlin and Billow settings.
struct Fractal {
  double frequency;
  int octaves;
  double persistence;
  double lacunarity;
  int seed;
};

struct Ridged {
  double frequency;
  int octaves;
  double lacunarity;
  int seed;
};

// Turbulence: its three Perlin fields take seed, seed + 1 and seed + 2.
struct Warp {
  double frequency;
  double power;
  int roughness;
  int seed;
};

// Select: the control range where the second source is taken, and its edge.
struct Band {
  double lower;
  double upper;
  double falloff;
};

using CurvePoints = std::vector<std::pair<double, double>>;
using TerracePoints = std::vector<double>;

// B provides a type Ref (what a module is passed as) and one function per
// class below, each making a module with the given sources and settings;
// Shared(source) marks a subgraph that several modules read (libnoise's
// Cache) and returns what they read.
template <class B>
typename B::Ref Build(B& b) {
  using Ref = typename B::Ref;

  // Continents: broad Perlin noise, turned so that no pole sits on a lattice
  // line, bent so that a little over half is sea, then carved by ridged
  // noise into inlets and fjords.
  Ref base = b.RotatePoint(b.Perlin({0.85, 10, 0.55, 2.17, 201}), 12, 31, 0);
  Ref bent = b.Shared(b.Curve(base, {{-2, -1.8},
                                     {-1, -1},
                                     {-0.35, -0.5},
                                     {-0.06, -0.12},
                                     {0, 0.01},
                                     {0.12, 0.09},
                                     {0.5, 0.3},
                                     {1, 0.55},
                                     {2, 0.95}}));
  Ref carver = b.ScaleBias(b.TranslatePoint(b.RidgedMulti({3.1, 8, 2.21, 202}), 0.37, -0.11, 0.23),
                           0.5, 0.62);
  Ref carved = b.Shared(b.Clamp(b.Min(carver, bent), -1, 1));
  // Inland the field is warped twice, so that the terrain types it places
  // get ragged borders; the coasts keep the smooth field.
  Ref warped = b.Shared(b.Turbulence(b.Turbulence(carved, {6, 0.06, 4, 203}), {16, 0.02, 3, 206}));
  Ref continents = b.Shared(b.Select(carved, warped, carved, {-0.04, 1000, 0.25}));

  // Where each terrain goes: the continent field warped and quantised, so
  // that plains follow the coasts and mountains the hearts of continents;
  // a field of its own says where the land is dry.
  Ref terrainType =
      b.Shared(b.Terrace(b.Turbulence(continents, {5, 0.1, 3, 210}), {-1, -0.2, 0.25, 0.6, 1}));
  Ref dryness = b.Shared(b.Perlin({2.2, 3, 0.5, 2, 214}));

  // Mountains: ranges and valleys of ridged noise, blended by how far
  // inland, pushed about by three Perlin fields, with peaks or foothills on
  // top, sharpened.
  Ref ranges = b.Clamp(b.Terrace(b.ScaleBias(b.RidgedMulti({6.5, 9, 2.13, 220}), 0.5, 0.35),
                                 {-1, -0.3, 0.2, 0.55, 0.8, 1.3}),
                       -1, 1);
  Ref valleys = b.ScaleBias(b.RidgedMulti({8.2, 7, 2.19, 221}), -0.55, -0.3);
  Ref massif = b.Shared(b.Blend(valleys, ranges, b.ScaleBias(continents, 3.5, -1.1)));
  Ref shifted = b.Shared(b.Displace(massif, b.ScaleBias(b.Perlin({9, 3, 0.5, 2, 222}), 0.03, 0),
                                    b.ScaleBias(b.Perlin({9, 3, 0.5, 2, 223}), 0.03, 0),
                                    b.ScaleBias(b.Perlin({9, 3, 0.5, 2, 224}), 0.03, 0)));
  Ref peaks = b.ScaleBias(b.RidgedMulti({19, 5, 2.2, 225}), 0.22, 0.04);
  Ref foothills = b.ScaleBias(b.Billow({11, 4, 0.5, 2, 226}), 0.12, -0.1);
  Ref rugged = b.Shared(b.Add(shifted, b.Max(peaks, foothills)));
  Ref mountains = b.Shared(b.ScaleBias(b.Exponent(rugged, 1.35), 0.55, 0.3));

  // Hills: rolling billows with creeks cut into them, warped a little.
  Ref rolling = b.ScaleBias(b.Billow({5.5, 6, 0.5, 2.11, 230}), 0.5, 0.5);
  Ref creeks = b.ScaleBias(b.RidgedMulti({6, 1, 2, 231}), -2, -0.5);
  Ref dales = b.Blend(b.Const(-1), creeks, rolling);
  Ref hills = b.Shared(b.Clamp(
      b.ScaleBias(b.Exponent(b.Turbulence(dales, {20, 0.02, 3, 232}), 1.2), 0.35, 0.12), -1, 1));

  // Plains: two billow fields multiplied into low swells, flat where dry.
  Ref swells =
      b.Shared(b.Multiply(b.Billow({8, 7, 0.5, 2.2, 240}), b.Billow({8, 7, 0.5, 2.2, 241})));
  Ref plains = b.Shared(b.Blend(b.ScaleBias(swells, 0.3, 0.1), b.Const(0.05), dryness));

  // Badlands: dunes of ridged and cell noise, and terraced mesas whose cliffs
  // are eroded by two turbulences, where the mesa field is high.
  Ref dunes = b.Shared(b.Add(b.ScaleBias(b.RidgedMulti({16, 1, 2, 250}), 0.3, 0.2),
                             b.ScaleBias(b.Voronoi(9, 0, true, 251), -0.25, 0.1)));
  Ref mesas = b.Shared(b.Perlin({5.2, 6, 0.6, 2.2, 252}));
  Ref cliffs = b.Shared(b.Terrace(b.Clamp(b.Curve(mesas, {{-2, -2},
                                                          {-1, -1.2},
                                                          {-0.25, -0.55},
                                                          {0, 0.05},
                                                          {0.35, 0.65},
                                                          {0.8, 0.85},
                                                          {2, 1.1}}),
                                          -1, 0.9),
                                  {-1, -0.7, -0.4, 0.1, 0.3, 0.9}));
  Ref eroded =
      b.Shared(b.Turbulence(b.Turbulence(cliffs, {24, 0.015, 3, 253}), {55, 0.006, 2, 256}));
  Ref badlands =
      b.Shared(b.ScaleBias(b.Select(dunes, eroded, mesas, {-0.1, 1000, 0.15}), 0.5, 0.2));

  // Rivers: the crests of one-octave ridged noise (which peaks at 0.25),
  // wide and narrow, become channels; warped so that they meander.
  Ref wide = b.Curve(b.RidgedMulti({4.5, 1, 2, 260}),
                     {{-2, 0}, {0.1, 0}, {0.2, -0.35}, {0.25, -1}, {2, -1}});
  Ref narrow = b.Curve(b.RidgedMulti({10, 1, 2, 261}),
                       {{-2, 0}, {0.15, 0}, {0.22, -0.25}, {0.25, -0.6}, {2, -0.6}});
  Ref rivers =
      b.Shared(b.ScaleBias(b.Turbulence(b.Min(wide, narrow), {17, 0.02, 3, 262}), 0.18, 0));

  // Each terrain at its heights, placed: plains at the coasts, then hills
  // (with mountain ridges showing through), then mountains; badlands over
  // the hills where it is dry.
  Ref rises = b.Shared(b.Max(b.ScaleBias(hills, 0.09, 0.06), b.ScaleBias(mountains, 0.2, -0.02)));
  Ref lowlands =
      b.Shared(b.Select(b.ScaleBias(plains, 0.03, 0.015), rises, terrainType, {-0.05, 1000, 0.2}));
  Ref highlands = b.Shared(
      b.Select(lowlands, b.ScaleBias(mountains, 0.32, 0.2), terrainType, {0.3, 1000, 0.16}));
  Ref dry = b.Add(b.ScaleBias(badlands, 0.06, 0.05), b.ScaleBias(rises, 0.5, 0));
  Ref relief = b.Shared(b.Select(highlands, dry, dryness, {0.3, 1000, 0.1}));

  // Relief and rivers grow from nothing at the coast to full strength a
  // little inland; the sea floor has ridges and the rivers' canyons, and
  // shelves stepping down from the coasts.
  Ref inland = b.Shared(b.Clamp(b.ScaleBias(continents, 5, 0), 0, 1));
  Ref shelves = b.Shared(b.Clamp(b.Terrace(continents, {-1, -0.55, -0.25, -0.1, 0}), -1, 0));
  Ref level = b.Shared(b.Add(b.ScaleBias(continents, 0.3, 0), b.ScaleBias(shelves, 0.08, 0)));
  Ref land = b.Add(b.Add(level, b.Multiply(relief, inland)), b.Multiply(rivers, inland));
  Ref ridges = b.ScaleBias(b.Abs(b.RidgedMulti({4, 5, 2.1, 270})), 0.02, -0.015);
  Ref seaFloor = b.Add(b.Add(level, ridges), b.ScaleBias(rivers, 0.4, 0));
  return b.Select(seaFloor, land, continents, {-0.02, 1000, 0.03});
}

}  // namespace noisebind::bench::planet

#endif  // NOISEBIND_BENCH_PLANET_RECIPE_H
