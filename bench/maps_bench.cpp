#include "maps_bench.h"

#include <libnoise/module/perlin.h>

#include <chrono>
#include <cstdio>
#include <iterator>
#include <lua.hpp>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/maps/parallel_rows.h"
#include "measure.h"

namespace bench {
namespace {

constexpr int kSide = 1024;
constexpr double kExtent = 4.0;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The library's loop over rows `first` to `end` of the map's points, into a
// buffer as a map's.
void NativeRows(const noise::module::Perlin& perlin, int first, int end, double* values) {
  for (int j = first; j < end; ++j) {
    const double z = 0.0 + j * (kExtent - 0.0) / kSide;
    for (int i = 0; i < kSide; ++i) {
      const double x = 0.0 + i * (kExtent - 0.0) / kSide;
      values[static_cast<std::size_t>(j) * kSide + i] = perlin.GetValue(x, 0.0, z);
    }
  }
}

// The same loop with the rows split evenly over `threads` threads: what the
// machine gives parallel work at the moment, for comparison.
double TimeNative(const noise::module::Perlin& perlin, unsigned threads,
                  std::vector<double>* values) {
  const double start = Now();
  std::vector<std::thread> others;
  const int share = kSide / static_cast<int>(threads);
  for (unsigned t = 1; t < threads; ++t) {
    const int first = static_cast<int>(t) * share;
    const int end = t + 1 == threads ? kSide : first + share;
    others.emplace_back(NativeRows, std::cref(perlin), first, end, values->data());
  }
  NativeRows(perlin, 0, share, values->data());
  for (std::thread& thread : others) thread.join();
  return Now() - start;
}

// The map of a source: LibNoise's shared Perlin, or a Perlin object, both
// with the library's defaults (6 octaves).
constexpr char kMapScript[] = R"(
local object, threads = ...
local source = object and noise.Perlin {} or LibNoise.M_Perlin.Calc
return noise.planemap(source, { 0, 4, 0, 4 }, 1024, 1024, { threads = threads })
)";

// One map on `threads` threads, timed; the map is left on the stack.
double TimeMap(lua_State* L, int chunk, bool object, unsigned threads) {
  lua_pushvalue(L, chunk);
  lua_pushboolean(L, object);
  lua_pushnumber(L, threads);
  const double start = Now();
  if (lua_pcall(L, 2, 1, 0) != 0) throw std::runtime_error(lua_tostring(L, -1));
  return Now() - start;
}

// The map on top against the library's values, through its flat copy: as
// floats for LibNoise's functions, as doubles for objects.
bool SameValues(lua_State* L, const std::vector<double>& native, bool object) {
  lua_getfield(L, -1, "flat");
  lua_pushvalue(L, -2);
  lua_call(L, 1, 1);
  bool same = true;
  for (int i = 0; i < kSide * kSide && same; i += 997) {
    lua_rawgeti(L, -1, i + 1);
    const double value = native[static_cast<std::size_t>(i)];
    same = lua_tonumber(L, -1) == (object ? value : static_cast<float>(value));
    lua_pop(L, 1);
  }
  lua_pop(L, 1);
  return same;
}

// Chunks as a mod maps them: a Perlin object (6 octaves) into maps it
// reuses, each function running its loop n times.
constexpr char kSmallScript[] = R"(
-- Chunks as densely sampled as the large map: 256 points a unit.
local p = noise.Perlin {}
local one = noise.planemap(p, { 0, 1, 0, 1 }, 1, 1)
local chunk = noise.planemap(p, { 0, 80, 0, 80 }, 80, 80)
local large = noise.planemap(p, { 0, 4, 0, 4 }, 1024, 1024, { threads = 1 })
return {
  function(n) for i = 1, n do p:calc(i * 0.01, 0, 0.5) end end,
  function(n)
    for i = 1, n do noise.planemap(p, { i * 0.01, i * 0.01 + 1, 0.5, 1.5 }, 1, 1, { into = one }) end
  end,
  function(n)
    for i = 1, n do noise.planemap(p, { i * 0.3125, i * 0.3125 + 0.3125, 0, 0.3125 }, 80, 80, { into = chunk, threads = 1 }) end
  end,
  function(n)
    for i = 1, n do noise.planemap(p, { i * 0.3125, i * 0.3125 + 0.3125, 0, 0.3125 }, 80, 80, { into = chunk }) end
  end,
  function(n)
    for i = 1, n do noise.planemap(p, { 0, 4, i, i + 4 }, 1024, 1024, { into = large, threads = 1 }) end
  end,
}
)";

// Seconds for one call of function k of the table on top, looping n times.
double TimeLoop(lua_State* L, int k, int n) {
  lua_rawgeti(L, -1, k);
  lua_pushnumber(L, n);
  const double start = Now();
  if (lua_pcall(L, 1, 0, 0) != 0) throw std::runtime_error(lua_tostring(L, -1));
  return Now() - start;
}

}  // namespace

void RunSmallBench(lua_State* L, int rounds) {
  if (luaL_loadstring(L, kSmallScript) != 0 || lua_pcall(L, 0, 1, 0) != 0) {
    throw std::runtime_error(lua_tostring(L, -1));
  }
  // calc, 1 x 1 map, 80 x 80 on one thread and by default, 1024 x 1024.
  constexpr int kLoops[] = {20000, 20000, 40, 40, 1};
  std::vector<double> oneOverCalc, chunkNs, largeNs, defaultOverOne;
  for (int round = 0; round < rounds; ++round) {
    // Turned order in odd rounds, so that neither of a pair always goes first.
    double seconds[5];
    for (int j = 0; j < 5; ++j) {
      const int k = round % 2 == 0 ? j : 4 - j;
      seconds[k] = TimeLoop(L, k + 1, kLoops[k]) / kLoops[k];
    }
    oneOverCalc.push_back((seconds[1] - seconds[0]) * 1e6);
    chunkNs.push_back(seconds[2] * 1e9 / (80 * 80));
    largeNs.push_back(seconds[4] * 1e9 / (1024 * 1024));
    defaultOverOne.push_back(seconds[3] / seconds[2]);
  }
  lua_pop(L, 1);
  std::printf(
      "\nsmall: 1x1 map us %.2f over calc; chunk 80x80 ns/pt %.1f; 1024x1024 ns/pt %.1f; "
      "default/threads1 80x80 %.2f (medians of %d rounds, one thread but the default)\n",
      Median(oneOverCalc), Median(chunkNs), Median(largeNs), Median(defaultOverOne), rounds);
}

bool RunMapsBench(lua_State* L, int rounds) {
  // The shared Perlin keeps the library's defaults (6 octaves), as here.
  luaL_loadstring(L, kMapScript);
  const int chunk = lua_gettop(L);
  const unsigned cores = noisebind::maps::DefaultThreads();
  const noise::module::Perlin perlin;
  std::vector<double> native(static_cast<std::size_t>(kSide) * kSide);

  // Each variant's seconds per round: the library's loop on one thread and
  // split over every core, and maps of each source on one thread and on all.
  struct Variant {
    bool map;
    bool object;
    bool all;
    std::vector<double> seconds;
  };
  Variant variants[] = {
      {false, false, false, {}}, {false, false, true, {}}, {true, false, false, {}},
      {true, false, true, {}},   {true, true, false, {}},  {true, true, true, {}},
  };
  constexpr int kVariants = static_cast<int>(std::size(variants));
  for (int round = 0; round < rounds; ++round) {
    // An order that turns with the round, so that no variant always goes first.
    for (int k = 0; k < kVariants; ++k) {
      Variant& variant = variants[(round + k) % kVariants];
      const unsigned threads = variant.all ? cores : 1;
      if (!variant.map) {
        variant.seconds.push_back(TimeNative(perlin, threads, &native));
        continue;
      }
      variant.seconds.push_back(TimeMap(L, chunk, variant.object, threads));
      lua_pop(L, 1);
    }
  }
  for (const bool object : {false, true}) {
    TimeMap(L, chunk, object, cores);
    if (!SameValues(L, native, object)) {
      std::fprintf(stderr, "noisebind_bench: the map does not hold the library's values\n");
      return false;
    }
    lua_pop(L, 1);
  }
  lua_settop(L, chunk - 1);

  // Ratios of medians of the same rounds.
  const auto ratio = [&](int a, int b) {
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
      ratios.push_back(variants[a].seconds[static_cast<std::size_t>(round)] /
                       variants[b].seconds[static_cast<std::size_t>(round)]);
    }
    return Median(ratios);
  };
  const char* names[] = {"libnoise, one thread",   "libnoise, all threads", "LibNoise function, 1t",
                         "LibNoise function, all", "Perlin object, 1t",     "Perlin object, all"};
  std::printf(
      "\nmaps: 1024 x 1024 plane map of 6-octave Perlin, ms (medians of %d rounds, %u threads)\n",
      rounds, cores);
  for (int k = 0; k < kVariants; ++k) {
    std::printf("  %-28s %10.1f\n", names[k], Median(variants[k].seconds) * 1e3);
  }
  std::printf(
      "the library's loop split over %u threads: speedup %.2f (what the machine gives now)\n",
      cores, ratio(0, 1));
  std::printf("LibNoise function maps: speedup %.2f on %u threads\n", ratio(2, 3), cores);
  std::printf("maps: object 1t/native %.2f; LibNoise 1t/native %.2f; speedup %.2f on %u threads\n",
              ratio(4, 0), ratio(2, 0), ratio(4, 5), cores);
  RunSmallBench(L, rounds);
  return true;
}

}  // namespace bench
