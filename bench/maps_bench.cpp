#include "maps_bench.h"

#include <libnoise/module/perlin.h>

#include <chrono>
#include <cstdio>
#include <lua.hpp>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "maps/parallel_rows.h"
#include "measure.h"
#include "module/noise_table.h"

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
      values[static_cast<std::size_t>(j) * kSide + i] =
          static_cast<float>(perlin.GetValue(x, 0.0, z));
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

constexpr char kMapScript[] = R"(
local threads = ...
return noise.planemap(LibNoise.M_Perlin.Calc, { 0, 4, 0, 4 }, 1024, 1024, { threads = threads })
)";

// One map on `threads` threads, timed; the map is left on the stack.
double TimeMap(lua_State* L, int chunk, unsigned threads) {
  lua_pushvalue(L, chunk);
  lua_pushnumber(L, threads);
  const double start = Now();
  if (lua_pcall(L, 1, 1, 0) != 0) throw std::runtime_error(lua_tostring(L, -1));
  return Now() - start;
}

// The map on top against the library's values, through its flat copy.
bool SameValues(lua_State* L, const std::vector<double>& native) {
  lua_getfield(L, -1, "flat");
  lua_pushvalue(L, -2);
  lua_call(L, 1, 1);
  bool same = true;
  for (int i = 0; i < kSide * kSide && same; i += 997) {
    lua_rawgeti(L, -1, i + 1);
    same = lua_tonumber(L, -1) == native[static_cast<std::size_t>(i)];
    lua_pop(L, 1);
  }
  lua_pop(L, 1);
  return same;
}

}  // namespace

bool RunMapsBench(lua_State* L, int rounds) {
  lua_pushcfunction(L, noisebind::module::OpenNoiseTable);
  lua_call(L, 0, 1);
  lua_setglobal(L, "noise");
  // The shared Perlin keeps the library's defaults (6 octaves), as here.
  luaL_loadstring(L, kMapScript);
  const int chunk = lua_gettop(L);
  const unsigned cores = noisebind::maps::DefaultThreads();
  const noise::module::Perlin perlin;
  std::vector<double> native(static_cast<std::size_t>(kSide) * kSide);

  std::vector<double> nativeSeconds, oneSeconds, allSeconds, oneOverNative, speedup, nativeSpeedup;
  constexpr int kVariants = 4;
  for (int round = 0; round < rounds; ++round) {
    double times[kVariants] = {0.0, 0.0, 0.0, 0.0};
    // An order that turns with the round, so that no variant always goes first.
    for (int k = 0; k < kVariants; ++k) {
      const int variant = (round + k) % kVariants;
      if (variant == 0 || variant == 3) {
        times[variant] = TimeNative(perlin, variant == 0 ? 1 : cores, &native);
        continue;
      }
      times[variant] = TimeMap(L, chunk, variant == 1 ? 1 : cores);
      lua_pop(L, 1);
    }
    nativeSeconds.push_back(times[0]);
    oneSeconds.push_back(times[1]);
    allSeconds.push_back(times[2]);
    oneOverNative.push_back(times[1] / times[0]);
    speedup.push_back(times[1] / times[2]);
    nativeSpeedup.push_back(times[0] / times[3]);
  }
  TimeMap(L, chunk, cores);
  if (!SameValues(L, native)) {
    std::fprintf(stderr, "noisebind_bench: the map does not hold the library's values\n");
    return false;
  }
  lua_settop(L, chunk - 1);

  std::printf("\nmaps: 1024 x 1024 plane map of 6-octave Perlin, ms (medians of %d rounds)\n",
              rounds);
  std::printf("  %-28s %10.1f\n", "libnoise, one thread", Median(nativeSeconds) * 1e3);
  std::printf("  %-28s %10.1f\n", "LibNoise.M_Perlin.Calc, 1t", Median(oneSeconds) * 1e3);
  std::printf("  %-28s %10.1f  (%u threads)\n", "LibNoise.M_Perlin.Calc, all",
              Median(allSeconds) * 1e3, cores);
  std::printf("  %-28s %10s\n", "noise object, 1t", "n/a");
  std::printf(
      "the library's loop split over %u threads: speedup %.2f (what the machine gives now)\n",
      cores, Median(nativeSpeedup));
  std::printf("maps: object 1t/native n/a; LibNoise 1t/native %.2f; speedup %.2f on %u threads\n",
              Median(oneOverNative), Median(speedup), cores);
  return true;
}

}  // namespace bench
