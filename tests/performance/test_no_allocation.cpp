// Scripts call the extension once per point, so a call that goes well must
// not touch the heap: neither C++'s nor Lua's. Every published function is
// called through the real host and the real extension, except AddPoint,
// which stores its point.
#include <gtest/gtest.h>

#include <lua.hpp>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "host/extension_library.h"
#include "host/script_host.h"

namespace noisebind::testing {
namespace {

struct Case {
  const char* function;  // under LibNoise
  const char* args;
  const char* before;  // run first, outside the count; may be null
};

constexpr char kPerlinSource[] = "LibNoise.%s.SetModule(LibNoise.C_MODULE_PERLIN)";
constexpr char kCurvePoints[] =
    "LibNoise.M_Curve.Clear() LibNoise.M_Curve.AddPoint(-1, 0.5) LibNoise.M_Curve.AddPoint(1, -1)";
constexpr char kTerracePoints[] =
    "LibNoise.M_Terrace.Clear() LibNoise.M_Terrace.AddPoint(-1) LibNoise.M_Terrace.AddPoint(1)";

// Settings are the library's defaults, so the cases leave the instances as
// they found them.
const Case kCases[] = {
    {"3DNoise", "1.5, 2.5, 3.5, 7, 2", nullptr},
    {"Coherent3DNoise", "1.5, 2.5, 3.5, 7, 2", nullptr},
    {"Gradient3DNoise", "0.2, 0.4, 0.6, 1, 2, 3, 7", nullptr},
    {"GradientCoherent3DNoise", "1.5, 2.5, 3.5, 7, 3", nullptr},
    {"Int3DNoise", "1, 2, 3, 7", nullptr},
    {"InterpolateCubic", "0.1, 0.2, 0.3, 0.4, 0.5", nullptr},
    {"InterpolateLinear", "0.1, 0.9, 0.25", nullptr},
    {"LatLonOnSphere", "45, 90, 0, 0, 0", nullptr},
    {"SCurve3", "0.3", nullptr},
    {"SCurve5", "0.3", nullptr},
    {"Cylinder.SetModule", "LibNoise.C_MODULE_PERLIN", nullptr},
    {"Cylinder.Calc", "90, 0.5", "Cylinder"},
    {"Line.SetModule", "LibNoise.C_MODULE_PERLIN", nullptr},
    {"Line.SetAttenuation", "true", nullptr},
    {"Line.SetStartPoint", "0, 0, 0", nullptr},
    {"Line.SetEndPoint", "1, 1, 1", nullptr},
    {"Line.Calc", "0.5", "Line"},
    {"Plane.SetModule", "LibNoise.C_MODULE_PERLIN", nullptr},
    {"Plane.Calc", "1.5, 2.5", "Plane"},
    {"Sphere.SetModule", "LibNoise.C_MODULE_PERLIN", nullptr},
    {"Sphere.Calc", "45, 90", "Sphere"},
    {"M_Billow.Calc", "1.5, 2.5, 3.5", nullptr},
    {"M_Billow.SetFrequency", "1", nullptr},
    {"M_Billow.SetLacunarity", "2", nullptr},
    {"M_Billow.SetNoiseQuality", "LibNoise.C_QUALITY_STD", nullptr},
    {"M_Billow.SetOctaveCount", "6", nullptr},
    {"M_Billow.SetPersistence", "0.5", nullptr},
    {"M_Billow.SetSeed", "0", nullptr},
    {"M_CBoard.Calc", "1.5, 2.5, 3.5", nullptr},
    {"M_Curve.Calc", "0.3", kCurvePoints},
    {"M_Curve.Clear", "", kCurvePoints},
    {"M_Cylinders.Calc", "1.5, 2.5", nullptr},
    {"M_Cylinders.SetFrequency", "1", nullptr},
    {"M_Exponent.Calc", "0.3", nullptr},
    {"M_Exponent.SetExponent", "1", nullptr},
    {"M_Perlin.Calc", "1.5, 2.5, 3.5", nullptr},
    {"M_Perlin.SetFrequency", "1", nullptr},
    {"M_Perlin.SetLacunarity", "2", nullptr},
    {"M_Perlin.SetNoiseQuality", "LibNoise.C_QUALITY_STD", nullptr},
    {"M_Perlin.SetOctaveCount", "6", nullptr},
    {"M_Perlin.SetPersistence", "0.5", nullptr},
    {"M_Perlin.SetSeed", "0", nullptr},
    {"M_RidgedMulti.Calc", "1.5, 2.5, 3.5", nullptr},
    {"M_RidgedMulti.SetFrequency", "1", nullptr},
    {"M_RidgedMulti.SetLacunarity", "2", nullptr},
    {"M_RidgedMulti.SetNoiseQuality", "LibNoise.C_QUALITY_STD", nullptr},
    {"M_RidgedMulti.SetOctaveCount", "6", nullptr},
    {"M_RidgedMulti.SetSeed", "0", nullptr},
    {"M_Spheres.Calc", "1.5, 2.5, 3.5", nullptr},
    {"M_Spheres.SetFrequency", "1", nullptr},
    {"M_Terrace.Calc", "0.3", kTerracePoints},
    {"M_Terrace.Clear", "", kTerracePoints},
    {"M_Turbulence.Calc", "1.5, 2.5, 3.5", nullptr},
    {"M_Turbulence.SetFrequency", "1", nullptr},
    {"M_Turbulence.SetPower", "1", nullptr},
    {"M_Turbulence.SetRoughness", "3", nullptr},
    {"M_Turbulence.SetSeed", "0", nullptr},
    {"M_Voronoi.Calc", "1.5, 2.5, 3.5", nullptr},
    {"M_Voronoi.EnableDistance", "false", nullptr},
    {"M_Voronoi.SetDisplacement", "1", nullptr},
    {"M_Voronoi.SetFrequency", "1", nullptr},
    {"M_Voronoi.SetSeed", "0", nullptr},
};

// "M_Perlin.Calc" as Lua finds it; keys like 3DNoise are no Lua names.
std::string Path(const std::string& function) {
  std::string path = "LibNoise[\"";
  for (const char c : function) path += c == '.' ? std::string("\"][\"") : std::string(1, c);
  return path + "\"]";
}

// Storing a point is the one thing that may allocate.
const std::set<std::string> kAllowedToAllocate = {"M_Curve.AddPoint", "M_Terrace.AddPoint"};

// Enough calls for LuaJIT to compile the loop.
constexpr int kCalls = 200;

class NoAllocation : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    s_extension = vessa::ExtensionLibrary::Load(NOISEBIND_EXTENSION, &error).release();
    ASSERT_NE(s_extension, nullptr) << error;
    s_host = new vessa::ScriptHost(*s_extension, [](const char*) {});
    int result = 0;
    ASSERT_TRUE(s_host->OpenExtension(&result, &error)) << error;
  }
  static void TearDownTestSuite() {
    delete s_host;
    delete s_extension;
  }

  lua_State* L() { return s_host->lua(); }

  // Runs Lua code; the error text, empty when it ran.
  std::string Execute(const std::string& code) {
    if (luaL_loadstring(L(), code.c_str()) != 0 || lua_pcall(L(), 0, 0, 0) != 0) {
      std::string message = lua_tostring(L(), -1);
      lua_pop(L(), 1);
      return message;
    }
    return {};
  }

  // A registry reference to a loop calling the case's function n times.
  int MakeLoop(const Case& c) {
    const std::string code = "local f = " + Path(c.function) +
                             " return function(n) for i = 1, n do f(" + c.args + ") end end";
    EXPECT_EQ(luaL_loadstring(L(), code.c_str()), 0) << c.function;
    EXPECT_EQ(lua_pcall(L(), 0, 1, 0), 0) << c.function;
    return luaL_ref(L(), LUA_REGISTRYINDEX);
  }

  std::string Before(const Case& c) {
    if (c.before == nullptr) return {};
    const std::string before = c.before;
    if (before.find(' ') != std::string::npos) return Execute(before);
    char code[128];
    std::snprintf(code, sizeof(code), kPerlinSource, c.before);
    return Execute(code);
  }

  // Calls the loop; the error text, empty when every call went well.
  std::string RunLoop(int loop, int calls) {
    lua_rawgeti(L(), LUA_REGISTRYINDEX, loop);
    lua_pushinteger(L(), calls);
    if (lua_pcall(L(), 1, 0, 0) != 0) {
      std::string message = lua_tostring(L(), -1);
      lua_pop(L(), 1);
      return message;
    }
    return {};
  }

  static vessa::ExtensionLibrary* s_extension;
  static vessa::ScriptHost* s_host;
};

vessa::ExtensionLibrary* NoAllocation::s_extension = nullptr;
vessa::ScriptHost* NoAllocation::s_host = nullptr;

TEST_F(NoAllocation, EveryPublishedFunctionHasACase) {
  ASSERT_EQ(luaL_loadstring(L(), R"(
    local names = {}
    for key, value in pairs(LibNoise) do
      if type(value) == "function" then names[#names + 1] = key end
      if type(value) == "table" then
        for inner, f in pairs(value) do
          if type(f) == "function" then names[#names + 1] = key .. "." .. inner end
        end
      end
    end
    return table.concat(names, " ")
  )"),
            0);
  ASSERT_EQ(lua_pcall(L(), 0, 1, 0), 0);
  std::set<std::string> published;
  std::string names = lua_tostring(L(), -1);
  lua_pop(L(), 1);
  for (std::size_t start = 0; start < names.size();) {
    const std::size_t end = names.find(' ', start);
    published.insert(names.substr(start, end - start));
    start = end == std::string::npos ? names.size() : end + 1;
  }
  std::set<std::string> covered(kAllowedToAllocate);
  for (const Case& c : kCases) covered.insert(c.function);
  EXPECT_EQ(published, covered);
}

// The first call, in which the host learns what the function reads, and
// then the calls of the compiled loop. Compiling is left out of the count:
// LuaJIT registers each new area of machine code with the unwinder, which
// allocates.
TEST_F(NoAllocation, SuccessfulCallsDoNotAllocate) {
  for (const Case& c : kCases) {
    ASSERT_EQ(Before(c), "") << c.function;
    const int loop = MakeLoop(c);
    std::string errors;
    long allocations = 0;
    {
      AllocationWindow window;
      errors += RunLoop(loop, 1);
      allocations += window.count();
    }
    errors += RunLoop(loop, kCalls);
    {
      AllocationWindow window;
      errors += RunLoop(loop, kCalls);
      allocations += window.count();
    }
    luaL_unref(L(), LUA_REGISTRYINDEX, loop);
    EXPECT_EQ(errors, "") << c.function << " must succeed for the count to mean anything";
    EXPECT_EQ(allocations, 0) << c.function << "(" << c.args << ")";
  }
}

// With the interpreter alone: compiling a trace takes Lua memory of its own.
TEST_F(NoAllocation, SuccessfulCallsLeaveTheLuaHeapAlone) {
  ASSERT_EQ(Execute("jit.off()"), "");
  for (const Case& c : kCases) {
    ASSERT_EQ(Before(c), "") << c.function;
    const int loop = MakeLoop(c);
    ASSERT_EQ(RunLoop(loop, 1), "") << c.function;
    lua_gc(L(), LUA_GCSTOP, 0);
    const int kilobytes = lua_gc(L(), LUA_GCCOUNT, 0);
    const int bytes = lua_gc(L(), LUA_GCCOUNTB, 0);
    const std::string error = RunLoop(loop, kCalls);
    const int grown =
        (lua_gc(L(), LUA_GCCOUNT, 0) - kilobytes) * 1024 + lua_gc(L(), LUA_GCCOUNTB, 0) - bytes;
    lua_gc(L(), LUA_GCRESTART, 0);
    luaL_unref(L(), LUA_REGISTRYINDEX, loop);
    EXPECT_EQ(error, "") << c.function;
    EXPECT_EQ(grown, 0) << c.function << "(" << c.args << ")";
  }
  ASSERT_EQ(Execute("jit.on()"), "");
}

// Without this, a counter that saw nothing would pass every test above.
TEST_F(NoAllocation, TheCountSeesTheExtensionAllocate) {
  ASSERT_EQ(Execute("LibNoise.M_Curve.Clear()"), "");
  const Case addPoint{"M_Curve.AddPoint", "i, -i", nullptr};
  const int loop = MakeLoop(addPoint);
  long allocations = 0;
  {
    AllocationWindow window;
    EXPECT_EQ(RunLoop(loop, 4), "");
    allocations = window.count();
  }
  luaL_unref(L(), LUA_REGISTRYINDEX, loop);
  EXPECT_GE(allocations, 4);

  // A refused octave count is thrown by the library, and exceptions are
  // made with malloc.
  if (CountsMalloc()) {
    AllocationWindow window;
    EXPECT_NE(Execute("LibNoise.M_Perlin.SetOctaveCount(0)"), "");
    EXPECT_GE(window.count(), 1);
  }
  EXPECT_EQ(Execute("LibNoise.M_Curve.Clear()"), "");
}

}  // namespace
}  // namespace noisebind::testing
