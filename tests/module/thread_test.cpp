// Threads, each with a Lua state of its own, calling the same LibNoise
// functions at once: every result must be the one a single thread gets.
// Built for each PUC Lua, whose states require the Lua module, and for
// LuaJIT, whose states open the extension file through the host library.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <lua.hpp>
#include <string>
#include <thread>
#include <vector>

#include "host/lua_compat.h"
#ifdef NOISEBIND_TEST_EXTENSION
#include "host/embed.h"
#endif

namespace {

constexpr int kPoints = 64;

// Runs `code`; the error message, empty when it went well.
std::string RunLua(lua_State* L, const std::string& code) {
  if (luaL_loadstring(L, code.c_str()) == 0 && lua_pcall(L, 0, 0, 0) == 0) return {};
  std::string message = lua_tostring(L, -1) ? lua_tostring(L, -1) : "error";
  lua_pop(L, 1);
  return message;
}

// Opens LibNoise in L: the error message, empty when it went well.
std::string OpenLibNoise(lua_State* L) {
#ifdef NOISEBIND_TEST_EXTENSION
  std::string error;
  if (!vessa::OpenExtensionFile(L, NOISEBIND_TEST_EXTENSION, nullptr, &error) && error.empty()) {
    error = "cannot open the extension";
  }
  return error;
#else
  return RunLua(L, "package.cpath = '" NOISEBIND_TEST_MODULE_DIR "/?.so'; require 'noisebind'");
#endif
}

// A state with LibNoise and the probes of hammer.lua; null, with the reason
// in `error`, when that failed.
lua_State* OpenState(std::string* error) {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  *error = OpenLibNoise(L);
  if (error->empty()) *error = RunLua(L, "dofile('" NOISEBIND_TEST_HAMMER "')");
  if (error->empty()) *error = RunLua(L, "store_settings()");
  if (error->empty()) return L;
  lua_close(L);
  return nullptr;
}

std::vector<double> ProbeValues(lua_State* L) {
  lua_getglobal(L, "probe_values");
  lua_pushnumber(L, kPoints);
  lua_call(L, 1, 1);
  std::vector<double> values(vessa::RawLength(L, -1));
  for (size_t i = 0; i < values.size(); ++i) {
    lua_rawgeti(L, -1, static_cast<int>(i) + 1);
    values[i] = lua_tonumber(L, -1);
    lua_pop(L, 1);
  }
  lua_pop(L, 1);
  return values;
}

// hammer(values, rounds) in L: the number of wrong results, or -1 with the
// error in `error`.
long Hammer(lua_State* L, const std::vector<double>& values, int rounds, std::string* error) {
  lua_getglobal(L, "hammer");
  lua_createtable(L, static_cast<int>(values.size()), 0);
  for (size_t i = 0; i < values.size(); ++i) {
    lua_pushnumber(L, values[i]);
    lua_rawseti(L, -2, static_cast<int>(i) + 1);
  }
  lua_pushnumber(L, rounds);
  if (lua_pcall(L, 2, 1, 0) != 0) {
    *error = lua_tostring(L, -1) ? lua_tostring(L, -1) : "error";
    lua_pop(L, 1);
    return -1;
  }
  const long wrong = static_cast<long>(lua_tonumber(L, -1));
  lua_pop(L, 1);
  return wrong;
}

// What one thread saw.
struct Report {
  long wrong = 0;
  std::string error;
};

class ThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    lua_State* L = OpenState(&error);
    ASSERT_NE(L, nullptr) << error;
    m_values = ProbeValues(L);
    lua_close(L);
    ASSERT_EQ(m_values.size() % kPoints, 0u);
    // Results are finite and vary, or the comparison would prove little.
    ASSERT_NE(m_values.front(), m_values.back());
  }

  // A thread with its own state, `rounds` times over the points; counts
  // `busy` down when done.
  std::thread Hammering(Report* report, int rounds, std::atomic<int>* busy) {
    return std::thread([this, report, rounds, busy] {
      lua_State* L = OpenState(&report->error);
      if (L != nullptr) {
        report->wrong = Hammer(L, m_values, rounds, &report->error);
        lua_close(L);
      }
      busy->fetch_sub(1);
    });
  }

  std::vector<double> m_values;
};

TEST_F(ThreadTest, ThreadsWithStatesOfTheirOwnGetTheSingleThreadedResults) {
  constexpr int kThreads = 6;
  std::vector<Report> reports(kThreads);
  std::vector<std::thread> threads;
  std::atomic<int> busy{kThreads};
  for (Report& report : reports) threads.push_back(Hammering(&report, 40, &busy));
  for (std::thread& thread : threads) thread.join();
  for (int i = 0; i < kThreads; ++i) {
    EXPECT_EQ(reports[i].error, "") << "thread " << i;
    EXPECT_EQ(reports[i].wrong, 0) << "thread " << i;
  }
}

TEST_F(ThreadTest, StatesOpenedAndClosedWhileOthersCallDisturbNothing) {
  constexpr int kThreads = 4;
  std::vector<Report> reports(kThreads);
  std::vector<std::thread> threads;
  std::atomic<int> busy{kThreads};
  for (Report& report : reports) threads.push_back(Hammering(&report, 30, &busy));
  // Meanwhile states come and go: each opens the extension, makes calls
  // and is closed, which closes the extension for it.
  Report churn;
  int cycles = 0;
  for (; (cycles < 2 || busy.load() > 0) && churn.error.empty() && churn.wrong == 0; ++cycles) {
    lua_State* L = OpenState(&churn.error);
    if (L == nullptr) break;
    churn.wrong =
        Hammer(L, std::vector<double>(m_values.begin(), m_values.begin() + 11), 1, &churn.error);
    lua_close(L);
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_GT(cycles, 2);
  EXPECT_EQ(churn.error, "");
  EXPECT_EQ(churn.wrong, 0);
  for (int i = 0; i < kThreads; ++i) {
    EXPECT_EQ(reports[i].error, "") << "thread " << i;
    EXPECT_EQ(reports[i].wrong, 0) << "thread " << i;
  }
}

// Every state of the process shares the instances, also with states that
// were closed before it was opened.
TEST(States, SettingsMadeInOneStateReachStatesOpenedAfterItClosed) {
  std::string error;
  lua_State* first = OpenState(&error);
  ASSERT_NE(first, nullptr) << error;
  ASSERT_EQ(
      RunLua(first,
             "LibNoise.M_Spheres.SetFrequency(3); value = LibNoise.M_Spheres.Calc(0.3, 0.2, 0.1)"),
      "");
  lua_getglobal(first, "value");
  const double value = lua_tonumber(first, -1);
  lua_close(first);
  lua_State* second = OpenState(&error);
  ASSERT_NE(second, nullptr) << error;
  EXPECT_EQ(
      RunLua(second,
             "value = LibNoise.M_Spheres.Calc(0.3, 0.2, 0.1); LibNoise.M_Spheres.SetFrequency(1)"),
      "");
  lua_getglobal(second, "value");
  EXPECT_EQ(lua_tonumber(second, -1), value);
  lua_close(second);
}

// Finalizers that call LibNoise while the extension opens in their state,
// each arming the next: the collector runs them at the open's allocations.
constexpr char kCallsDuringOpen[] = R"(
refused, other = 0, nil
local opening, depth, calls = true, 0, 0
function opened() opening = false end
local function arm()
  local function call()
    depth = depth + 1
    local N = rawget(_G, 'LibNoise')
    if opening and type(N) == 'table' and N.SCurve3 then
      calls = calls + 1
      local ok, err = pcall(N.SCurve3, 0.5)
      if not ok and tostring(err):find('not run: the extension is opening on this thread', 1, true) then
        refused = refused + 1
      elseif not ok or err ~= 0.5 then
        other = other or tostring(err)
      end
    end
    -- One level of finalizers at a time, and a bounded number of calls.
    if opening and depth == 1 and calls < 400 then arm() end
    depth = depth - 1
  end
  if newproxy then
    getmetatable(newproxy(true)).__gc = call
  else
    setmetatable({}, { __gc = call })
  end
end
for _ = 1, 20 do arm() end
collectgarbage('setpause', 1); collectgarbage('setstepmul', 1000)
)";

// A LibNoise call made by Lua code that the extension's open runs (a
// finalizer; a metamethod of _G alike) is refused with a Lua error: waiting
// for the lock its own thread holds would stall that thread, and every
// other thread's require and calls with it.
TEST(Open, CallsMadeWhileTheExtensionOpensOnTheSameThreadAreRefused) {
  constexpr int kThreads = 2;
  constexpr int kRounds = 3;
  std::atomic<long> refused{0};
  std::vector<std::string> errors(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds && errors[t].empty(); ++round) {
        lua_State* L = luaL_newstate();
        luaL_openlibs(L);
        std::string error = RunLua(L, kCallsDuringOpen);
        if (error.empty()) error = OpenLibNoise(L);
        if (error.empty()) {
          error = RunLua(
              L,
              "opened(); collectgarbage('setpause', 200); collectgarbage('setstepmul', 200)\n"
              "assert(other == nil, other)\n"
              "assert(LibNoise.SCurve3(0.5) == 0.5, 'a call after the open')");
        }
        lua_getglobal(L, "refused");
        refused += static_cast<long>(lua_tonumber(L, -1));
        lua_close(L);
        errors[t] = error;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::string& error : errors) EXPECT_EQ(error, "");
  std::printf("calls refused while the extension opened on their thread: %ld\n", refused.load());
  EXPECT_GT(refused.load(), 0) << "no finalizer ran while the extension opened";
}

// While a LibNoise map runs in one state, other states' calls of LibNoise go
// on: the map computes from a copy of the generator's settings, taken under
// the lock, and what they set meanwhile does not reach it. (The Lua module
// only: vessa's extension is a file of its own, whose instances its maps
// cannot copy, and its LibNoise maps hold the lock throughout.)
#ifndef NOISEBIND_TEST_EXTENSION
std::atomic<int> g_mapPhase{0};  // 1 while the map runs, 2 once it returned

int MapRunning(lua_State* L) {
  lua_pushboolean(L, g_mapPhase.load() == 1);
  return 1;
}

// Called by the mapper's script right before the map: the other state's
// calls are counted from then on.
int MapStarts(lua_State*) {
  g_mapPhase.store(1);
  return 0;
}

// Each generator's copy has every setting of the shared instance: its maps
// hold the values of the calls.
TEST(Maps, CopiesOfTheGeneratorsGiveTheValuesOfTheCalls) {
  std::string error;
  lua_State* L = OpenState(&error);
  ASSERT_NE(L, nullptr) << error;
  EXPECT_EQ(
      RunLua(L,
             "local noise, N = require 'noisebind', LibNoise\n"
             "for _, name in ipairs { 'M_Perlin', 'M_Billow', 'M_RidgedMulti' } do\n"
             "  local g = N[name]\n"
             "  g.SetFrequency(1.7); g.SetLacunarity(2.3); g.SetOctaveCount(5); g.SetSeed(-9)\n"
             "  g.SetNoiseQuality(N.C_QUALITY_BEST)\n"
             "  if g.SetPersistence then g.SetPersistence(0.6) end\n"
             "end\n"
             "N.M_Voronoi.SetFrequency(1.9); N.M_Voronoi.SetDisplacement(0.4)\n"
             "N.M_Voronoi.EnableDistance(true); N.M_Voronoi.SetSeed(12)\n"
             "N.M_Spheres.SetFrequency(2.2); N.M_Cylinders.SetFrequency(0.7)\n"
             "for _, name in ipairs { 'M_Perlin', 'M_Billow', 'M_RidgedMulti', 'M_Voronoi',\n"
             "    'M_Spheres', 'M_CBoard' } do\n"
             "  local calc = N[name].Calc\n"
             "  local m = noise.planemap(calc, { -1, 2, 0.5, 1.5 }, 31, 7)\n"
             "  for j = 0, 6 do for i = 0, 30 do\n"
             "    assert(m:get(i, j) == calc(-1 + i * 3 / 31, 0, 0.5 + j / 7), name)\n"
             "  end end\n"
             "end\n"
             "local c = noise.grid(N.M_Cylinders.Calc, { -2, 2, 9 }, { 0, 1, 4 })\n"
             "for j = 0, 3 do for i = 0, 8 do\n"
             "  assert(c:get(i, j) == N.M_Cylinders.Calc(-2 + i * 4 / 8, j / 3), 'cylinders')\n"
             "end end\n"
             "for _, name in ipairs { 'M_Perlin', 'M_Billow', 'M_RidgedMulti' } do\n"
             "  local g = N[name]\n"
             "  g.SetFrequency(1); g.SetLacunarity(2); g.SetSeed(0); g.SetOctaveCount(6)\n"
             "  g.SetNoiseQuality(N.C_QUALITY_STD)\n"
             "  if g.SetPersistence then g.SetPersistence(0.5) end\n"
             "end\n"),
      "");
  lua_close(L);
}

// Each model's and each of curve, terrace and exponent's copy has every
// setting of the shared one, its source's too: grids hold the values of the
// calls, and refuse what the calls refuse with the calls' own error.
TEST(Maps, CopiesOfTheModelsAndModulesGiveTheValuesOfTheCalls) {
  std::string error;
  lua_State* L = OpenState(&error);
  ASSERT_NE(L, nullptr) << error;
  EXPECT_EQ(
      RunLua(
          L,
          "local noise, N = require 'noisebind', LibNoise\n"
          "N.M_Perlin.SetOctaveCount(3); N.M_Perlin.SetFrequency(1.3)\n"
          "N.M_Curve.AddPoint(-1, -0.5); N.M_Curve.AddPoint(0, 0.7); N.M_Curve.AddPoint(0.4, 0.1)\n"
          "N.M_Curve.AddPoint(1, 1); N.M_Terrace.AddPoint(-1); N.M_Terrace.AddPoint(0.3)\n"
          "N.M_Terrace.AddPoint(1); N.M_Exponent.SetExponent(2.5)\n"
          "N.Line.SetStartPoint(0, 0.5, 0); N.Line.SetEndPoint(3, 1, 2); "
          "N.Line.SetAttenuation(false)\n"
          "local function same(what, f, a, b)\n"
          "  local g = b and noise.grid(f, a, b) or noise.grid(f, a)\n"
          "  for j = 0, b and b[3] - 1 or 0 do for i = 0, a[3] - 1 do\n"
          "    local x = a[1] + i * (a[2] - a[1]) / (a[3] - 1)\n"
          "    local y = b and b[1] + j * (b[2] - b[1]) / (b[3] - 1)\n"
          "    assert(g:get(i, j) == f(x, y), what .. ' at ' .. x .. ', ' .. tostring(y))\n"
          "  end end\n"
          "end\n"
          "for _, name in ipairs { 'M_Curve', 'M_Terrace', 'M_Exponent' } do\n"
          "  same(name, N[name].Calc, { -1.5, 1.5, 25 })\n"
          "end\n"
          "for _, code in ipairs { N.C_MODULE_PERLIN, N.C_MODULE_CURVE, N.C_MODULE_TERRACE,\n"
          "    N.C_MODULE_EXPONENT, N.C_MODULE_VORONOI, N.C_MODULE_CYLINDERS } do\n"
          "  for _, model in ipairs { 'Line', 'Plane', 'Sphere', 'Cylinder' } do\n"
          "    N[model].SetModule(code)\n"
          "  end\n"
          "  same('Plane ' .. code, N.Plane.Calc, { -2, 2, 9 }, { 0, 1, 5 })\n"
          "  same('Sphere ' .. code, N.Sphere.Calc, { -90, 90, 7 }, { -180, 180, 9 })\n"
          "  same('Cylinder ' .. code, N.Cylinder.Calc, { 0, 360, 9 }, { -1, 1, 5 })\n"
          "  same('Line ' .. code, N.Line.Calc, { 0, 1, 9 })\n"
          "end\n"
          "local _, expected = pcall(N.Line.Calc, 1.5)\n"
          "local ok, message = pcall(noise.grid, N.Line.Calc, { 0, 1.5, 4 })\n"
          "assert(not ok and message:find(expected, 1, true), message)\n"
          "N.M_Curve.Clear(); N.M_Terrace.Clear(); N.M_Exponent.SetExponent(1)\n"
          "N.M_Perlin.SetOctaveCount(6); N.M_Perlin.SetFrequency(1)\n"),
      "");
  lua_close(L);
}

// Runs `map` in one state, M_Perlin at `octaves`, while another state
// calls LibNoise and changes its frequency back and forth: the number of
// calls that other state made meanwhile, or -1. The map copied the settings
// at one moment, between two of those calls: every value must be a call's
// (`call`, of point (i, j)) at one frequency, 1.5 or 2.5, none mixed.
long CallsDuringMap(const char* map, const char* call, int octaves) {
  std::string error;
  lua_State* mapper = OpenState(&error);
  lua_State* caller = mapper != nullptr ? OpenState(&error) : nullptr;
  if (caller == nullptr) {
    ADD_FAILURE() << error;
    if (mapper != nullptr) lua_close(mapper);
    return -1;
  }
  EXPECT_EQ(RunLua(mapper, "noise = require 'noisebind'; LibNoise.M_Perlin.SetOctaveCount(" +
                               std::to_string(octaves) + "); LibNoise.M_Perlin.SetFrequency(1.5)"),
            "");
  lua_pushcfunction(mapper, MapStarts);
  lua_setglobal(mapper, "map_starts");
  lua_pushcfunction(caller, MapRunning);
  lua_setglobal(caller, "map_running");
  g_mapPhase.store(0);
  long during = 0;
  std::string callerError;
  std::thread calls([&] {
    while (g_mapPhase.load() == 0) std::this_thread::yield();
    callerError = RunLua(caller,
                         "local P = LibNoise.M_Perlin; during = 0\n"
                         "while map_running() do\n"
                         "  P.SetFrequency(2.5); P.Calc(0.1, 0.2, 0.3); P.SetFrequency(1.5)\n"
                         "  if map_running() then during = during + 1 end\n"
                         "end");
    lua_getglobal(caller, "during");
    during = static_cast<long>(lua_tonumber(caller, -1));
  });
  EXPECT_EQ(RunLua(mapper, map), "");
  g_mapPhase.store(2);
  calls.join();
  EXPECT_EQ(callerError, "");
  EXPECT_EQ(RunLua(mapper, std::string("local P = LibNoise.M_Perlin\n"
                                       "local function wrong(frequency)\n"
                                       "  P.SetFrequency(frequency); local count = 0\n"
                                       "  for j = 0, 255 do for i = 0, 511 do\n"
                                       "    if m:get(i, j) ~= ") +
                               call +
                               " then count = count + 1 end\n"
                               "  end end\n"
                               "  return count\n"
                               "end\n"
                               "local low, high = wrong(1.5), wrong(2.5)\n"
                               "P.SetFrequency(1); P.SetOctaveCount(6)\n"
                               "assert(low == 0 or high == 0, low .. ' and ' .. high .. "
                               "' values differ')"),
            "");
  lua_close(caller);
  lua_close(mapper);
  return during;
}

// No stall: while a LibNoise map runs, another state's calls go on. A map
// of a generator's Calc, computed from a copy for long, is the measure: a
// model's map of the same generator and cost lets about as many calls
// through; held under the lock it would let through only those made just
// before it takes the lock and just after it lets go. How many there were
// is printed (a count, not a time).
TEST(Maps, LibNoiseMapsLetOtherStatesCallWhileTheyRun) {
  const long generator = CallsDuringMap(
      "map_starts(); m = noise.planemap(LibNoise.M_Perlin.Calc, {0, 6, 0, 3}, 512, "
      "256, {threads = 1})",
      "P.Calc(i * 6 / 512, 0, j * 3 / 256)", 30);
  const long model = CallsDuringMap(
      "LibNoise.Plane.SetModule(LibNoise.C_MODULE_PERLIN)\n"
      "map_starts(); m = noise.grid(LibNoise.Plane.Calc, {0, 6, 512}, {0, 3, 256}, {threads = 1})",
      "LibNoise.Plane.Calc(i * 6 / 511, j * 3 / 255)", 30);
  std::printf(
      "calls another state made while a map of 30 octaves ran: %ld during M_Perlin.Calc's, %ld "
      "during Plane.Calc's\n",
      generator, model);
  EXPECT_GT(generator, 1000);
  EXPECT_GT(model * 4, generator);
}
#endif

}  // namespace
