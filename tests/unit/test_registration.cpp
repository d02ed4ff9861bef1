// The LibNoise table as registration builds it, and the load entry points.
#include <gtest/gtest.h>

#include "entry/entry_points.h"
#include "entry/registration.h"
#include "entry/resolver.h"
#include "fake_host.h"

namespace noisebind::testing {
namespace {

using Keys = std::vector<std::string>;

const Keys kMessages = {
    "LibNoise LOAD: Loaded Primary functions.\n",
    "LibNoise LOAD: Loaded Line noise interpretation model.\n",
    "LibNoise LOAD: Loaded Plane noise interpretation model.\n",
    "LibNoise LOAD: Loaded Sphere noise interpretation model.\n",
    "LibNoise LOAD: Loaded Cylinder noise interpretation model.\n",
    "LibNoise LOAD: Loaded Billow module.\n",
    "LibNoise LOAD: Loaded Checker-Board module.\n",
    "LibNoise LOAD: Loaded Curve module.\n",
    "LibNoise LOAD: Loaded Cylinders module.\n",
    "LibNoise LOAD: Loaded Exponents module.\n",
    "LibNoise LOAD: Loaded Perlin Noise module.\n",
    "LibNoise LOAD: Loaded Ridged Multiplicator module.\n",
    "LibNoise LOAD: Loaded Spheres module.\n",
    "LibNoise LOAD: Loaded Terrace module.\n",
    "LibNoise LOAD: Loaded Turbulence module.\n",
    "LibNoise LOAD: Loaded Voronoi module.\n",
    "LibNoise LOAD: Loaded enumerations.\n",
    "LibNoise LOAD: Loaded modules.\n",
    "LibNoise LOAD: Coherent Noise Library loaded.\nBindings by Vorlane.\n",
};

const Keys kTopLevelKeys = {
    "InterpolateLinear",
    "InterpolateCubic",
    "Gradient3DNoise",
    "GradientCoherent3DNoise",
    "Coherent3DNoise",
    "3DNoise",
    "Int3DNoise",
    "LatLonOnSphere",
    "SCurve3",
    "SCurve5",
    "Line",
    "Plane",
    "Sphere",
    "Cylinder",
    "C_QUALITY_FAST",
    "C_QUALITY_STD",
    "C_QUALITY_BEST",
    "C_MODULE_BILLOW",
    "M_Billow",
    "C_MODULE_CHECKERBOARD",
    "M_CBoard",
    "C_MODULE_CURVE",
    "M_Curve",
    "C_MODULE_CYLINDERS",
    "M_Cylinders",
    "C_MODULE_EXPONENT",
    "M_Exponent",
    "C_MODULE_PERLIN",
    "M_Perlin",
    "C_MODULE_RIDGED_MULTI",
    "M_RidgedMulti",
    "C_MODULE_SPHERES",
    "M_Spheres",
    "C_MODULE_TERRACE",
    "M_Terrace",
    "C_MODULE_TURBULENCE",
    "M_Turbulence",
    "C_MODULE_VORONOI",
    "M_Voronoi",
};

const std::vector<std::pair<std::string, Keys>> kSubTables = {
    {"Line", {"SetAttenuation", "SetStartPoint", "SetEndPoint", "SetModule", "Calc"}},
    {"Plane", {"SetModule", "Calc"}},
    {"Sphere", {"SetModule", "Calc"}},
    {"Cylinder", {"SetModule", "Calc"}},
    {"M_Billow",
     {"SetFrequency", "SetLacunarity", "SetNoiseQuality", "SetOctaveCount", "SetPersistence",
      "SetSeed", "Calc"}},
    {"M_CBoard", {"Calc"}},
    {"M_Curve", {"AddPoint", "Clear", "Calc"}},
    {"M_Cylinders", {"SetFrequency", "Calc"}},
    {"M_Exponent", {"SetExponent", "Calc"}},
    {"M_Perlin",
     {"SetFrequency", "SetLacunarity", "SetNoiseQuality", "SetOctaveCount", "SetPersistence",
      "SetSeed", "Calc"}},
    {"M_RidgedMulti",
     {"SetFrequency", "SetLacunarity", "SetNoiseQuality", "SetOctaveCount", "SetSeed", "Calc"}},
    {"M_Spheres", {"SetFrequency", "Calc"}},
    {"M_Terrace", {"AddPoint", "Clear", "Calc"}},
    {"M_Turbulence", {"SetFrequency", "SetPower", "SetRoughness", "SetSeed", "Calc"}},
    {"M_Voronoi", {"SetFrequency", "SetDisplacement", "EnableDistance", "SetSeed", "Calc"}},
};

bool IsTableOperation(const std::string& entry) {
  return entry.rfind("Store", 0) == 0;
}

TEST(Registration, PublishesEveryKeyInOrderWithNineteenMessages) {
  FakeHost host;
  host.Install();
  EXPECT_EQ(ExtensionInit(host.state()), 0);

  EXPECT_EQ(host.console(), kMessages);
  ASSERT_NE(host.global(), nullptr);
  EXPECT_EQ(host.global()->Keys(), kTopLevelKeys);
  for (const auto& [name, keys] : kSubTables) {
    const FakeTable* table = host.global()->SubTable(name);
    ASSERT_NE(table, nullptr) << name;
    EXPECT_EQ(table->Keys(), keys) << name;
  }
  EXPECT_EQ(host.global()->Function("3DNoise"), host.global()->Function("Coherent3DNoise"));

  const char* constants[] = {"C_QUALITY_FAST",        "C_QUALITY_STD",         "C_QUALITY_BEST",
                             "C_MODULE_BILLOW",       "C_MODULE_CHECKERBOARD", "C_MODULE_CURVE",
                             "C_MODULE_CYLINDERS",    "C_MODULE_EXPONENT",     "C_MODULE_PERLIN",
                             "C_MODULE_RIDGED_MULTI", "C_MODULE_SPHERES",      "C_MODULE_TERRACE",
                             "C_MODULE_TURBULENCE",   "C_MODULE_VORONOI"};
  const float values[] = {1, 2, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  for (size_t i = 0; i < std::size(constants); ++i) {
    const FakeTable::Entry* entry = host.global()->Find(constants[i]);
    ASSERT_NE(entry, nullptr) << constants[i];
    EXPECT_EQ(entry->kind, FakeTable::Entry::kNumber);
    EXPECT_EQ(entry->number, values[i]) << constants[i];
  }
}

TEST(Registration, ResolvesBeforeEveryHostOperationAndFillsTablesBeforeStoringThem) {
  FakeHost host;
  host.Install();
  ExtensionInit(host.state());
  const std::vector<std::string>& log = host.log();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0], "Resolve");
  EXPECT_EQ(log[1], "CreateGlobalTable(LibNoise)");
  for (size_t i = 0; i < log.size(); ++i) {
    if (log[i] == "Resolve" || IsTableOperation(log[i])) continue;
    ASSERT_GT(i, 0u);
    EXPECT_EQ(log[i - 1], "Resolve") << "before " << log[i];
  }
  // The Line sub-table: created, filled, stored, then announced.
  const std::vector<std::string> line = {
      "CreateTable",
      "StoreFunction(1) SetAttenuation",
      "StoreFunction(1) SetStartPoint",
      "StoreFunction(1) SetEndPoint",
      "StoreFunction(1) SetModule",
      "StoreFunction(1) Calc",
      "StoreTable(0,1) Line",
      "Resolve",
      "ConsoleMessage(LibNoise LOAD: Loaded Line noise interpretation model.\n)",
  };
  auto start = std::find(log.begin(), log.end(), "CreateTable");
  ASSERT_NE(start, log.end());
  EXPECT_EQ(std::vector<std::string>(start, start + static_cast<long>(line.size())), line);
}

TEST(Registration, WithoutTheGlobalTableOnlyTheBannerIsPrinted) {
  FakeHost host;
  host.Install();
  host.FailLookup(true);
  EXPECT_EQ(ExtensionInit(host.state()), 0);
  EXPECT_EQ(host.console(), Keys{kMessages.back()});
  EXPECT_TRUE(host.global()->Keys().empty());
  for (const std::string& entry : host.log()) EXPECT_NE(entry, "CreateTable");
}

TEST(Registration, ASubTableThatCannotBeMadeIsLeftOutAsAWhole) {
  FakeHost host;
  host.Install();
  host.FailCreateTable({1, 7});  // Line, and the third module table: M_Curve
  EXPECT_EQ(ExtensionInit(host.state()), 0);

  Keys expectedKeys = kTopLevelKeys;
  expectedKeys.erase(std::find(expectedKeys.begin(), expectedKeys.end(), "Line"));
  expectedKeys.erase(std::find(expectedKeys.begin(), expectedKeys.end(), "M_Curve"));
  EXPECT_EQ(host.global()->Keys(), expectedKeys);

  Keys expectedMessages = kMessages;
  expectedMessages.erase(expectedMessages.begin() + 7);  // Curve
  expectedMessages.erase(expectedMessages.begin() + 1);  // Line
  EXPECT_EQ(host.console(), expectedMessages);
}

class FakeContext final : public HostContext {
 public:
  explicit FakeContext(FakeHost& host) : m_host(host) {}
  ScriptState* GetState() override { return m_host.state(); }
  InterfaceResolver* GetResolver() override { return &m_host; }

 private:
  FakeHost& m_host;
};

TEST(EntryPoints, OpenStoresTheResolverAndReturnsZeroEvenWithoutTheTable) {
  g_resolver = nullptr;
  FakeHost host;
  host.FailLookup(true);
  FakeContext context(host);
  EXPECT_EQ(vessa_open(&context), 0);
  EXPECT_EQ(g_resolver, &host);
  EXPECT_EQ(host.console(), Keys{kMessages.back()});

  FakeHost second;
  FakeContext secondContext(second);
  EXPECT_EQ(vessa_open(&secondContext), 0);
  EXPECT_EQ(g_resolver, &second);
  EXPECT_EQ(second.console().size(), 19u);

  second.ClearLog();
  EXPECT_EQ(vessa_close(second.state()), 0);
  EXPECT_TRUE(second.log().empty());
}

}  // namespace
}  // namespace noisebind::testing
