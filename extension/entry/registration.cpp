#include "entry/registration.h"

#include "entry/resolver.h"
#include "entry/script_tables.h"
#include "instances/module_code.h"

namespace noisebind {
namespace {

struct SubTable {
  const char* name;
  const ScriptTable* functions;
  const char* message;
};

struct ModuleTable {
  const char* constant;
  ModuleCode code;
  SubTable table;
};

struct NumberConstant {
  const char* name;
  float value;
};

const SubTable kModelTables[] = {
    {"Line", &kLineFunctions, "LibNoise LOAD: Loaded Line noise interpretation model.\n"},
    {"Plane", &kPlaneFunctions, "LibNoise LOAD: Loaded Plane noise interpretation model.\n"},
    {"Sphere", &kSphereFunctions, "LibNoise LOAD: Loaded Sphere noise interpretation model.\n"},
    {"Cylinder", &kCylinderFunctions,
     "LibNoise LOAD: Loaded Cylinder noise interpretation model.\n"},
};

const NumberConstant kQualityConstants[] = {
    {"C_QUALITY_FAST", 1.0f},
    {"C_QUALITY_STD", 2.0f},
    {"C_QUALITY_BEST", 3.0f},
};

// In code order.
const ModuleTable kModuleTables[] = {
    {"C_MODULE_BILLOW",
     ModuleCode::kBillow,
     {"M_Billow", &kBillowFunctions, "LibNoise LOAD: Loaded Billow module.\n"}},
    {"C_MODULE_CHECKERBOARD",
     ModuleCode::kCheckerboard,
     {"M_CBoard", &kCBoardFunctions, "LibNoise LOAD: Loaded Checker-Board module.\n"}},
    {"C_MODULE_CURVE",
     ModuleCode::kCurve,
     {"M_Curve", &kCurveFunctions, "LibNoise LOAD: Loaded Curve module.\n"}},
    {"C_MODULE_CYLINDERS",
     ModuleCode::kCylinders,
     {"M_Cylinders", &kCylindersFunctions, "LibNoise LOAD: Loaded Cylinders module.\n"}},
    {"C_MODULE_EXPONENT",
     ModuleCode::kExponent,
     {"M_Exponent", &kExponentFunctions, "LibNoise LOAD: Loaded Exponents module.\n"}},
    {"C_MODULE_PERLIN",
     ModuleCode::kPerlin,
     {"M_Perlin", &kPerlinFunctions, "LibNoise LOAD: Loaded Perlin Noise module.\n"}},
    {"C_MODULE_RIDGED_MULTI",
     ModuleCode::kRidgedMulti,
     {"M_RidgedMulti", &kRidgedMultiFunctions,
      "LibNoise LOAD: Loaded Ridged Multiplicator module.\n"}},
    {"C_MODULE_SPHERES",
     ModuleCode::kSpheres,
     {"M_Spheres", &kSpheresFunctions, "LibNoise LOAD: Loaded Spheres module.\n"}},
    {"C_MODULE_TERRACE",
     ModuleCode::kTerrace,
     {"M_Terrace", &kTerraceFunctions, "LibNoise LOAD: Loaded Terrace module.\n"}},
    {"C_MODULE_TURBULENCE",
     ModuleCode::kTurbulence,
     {"M_Turbulence", &kTurbulenceFunctions, "LibNoise LOAD: Loaded Turbulence module.\n"}},
    {"C_MODULE_VORONOI",
     ModuleCode::kVoronoi,
     {"M_Voronoi", &kVoronoiFunctions, "LibNoise LOAD: Loaded Voronoi module.\n"}},
};

void StoreFunctions(TableHandle& table, const ScriptTable& functions) {
  for (const ScriptEntry& entry : functions) table.StoreFunction(entry.key, entry.function);
}

// A sub-table the host cannot create is left out as a whole.
void RegisterSubTable(ScriptState* state, TableHandle& libnoise, const SubTable& sub) {
  TableHandle* table = Host(state).CreateTable();
  if (table == nullptr) return;
  StoreFunctions(*table, *sub.functions);
  libnoise.StoreTable(sub.name, table);
  Host(state).ConsoleMessage(sub.message);
}

}  // namespace

int ExtensionInit(ScriptState* state) {
  Host(state).CreateGlobalTable("LibNoise");
  TableHandle* libnoise = Host(state).LookupGlobalTable("LibNoise");
  if (libnoise != nullptr) {
    StoreFunctions(*libnoise, kPrimaryFunctions);
    Host(state).ConsoleMessage("LibNoise LOAD: Loaded Primary functions.\n");
    for (const SubTable& model : kModelTables) RegisterSubTable(state, *libnoise, model);
    for (const NumberConstant& quality : kQualityConstants) {
      libnoise->StoreNumber(quality.name, quality.value);
    }
    for (const ModuleTable& module : kModuleTables) {
      libnoise->StoreNumber(module.constant, static_cast<float>(module.code));
      RegisterSubTable(state, *libnoise, module.table);
    }
    Host(state).ConsoleMessage("LibNoise LOAD: Loaded enumerations.\n");
    Host(state).ConsoleMessage("LibNoise LOAD: Loaded modules.\n");
  }
  Host(state).ConsoleMessage(
      "LibNoise LOAD: Coherent Noise Library loaded.\nBindings by Vorlane.\n");
  return 0;
}

}  // namespace noisebind
