// Every script table of the extension, each defined at the end of the file
// named after it.
#ifndef NOISEBIND_ENTRY_SCRIPT_TABLES_H
#define NOISEBIND_ENTRY_SCRIPT_TABLES_H

#include "entry/script_table.h"

namespace noisebind {

extern const ScriptTable kPrimaryFunctions;  // src/bind/primary.cpp

extern const ScriptTable kLineFunctions;      // src/bind/line.cpp
extern const ScriptTable kPlaneFunctions;     // src/bind/plane.cpp
extern const ScriptTable kSphereFunctions;    // src/bind/sphere.cpp
extern const ScriptTable kCylinderFunctions;  // src/bind/cylinder.cpp

extern const ScriptTable kBillowFunctions;       // src/bind/m_billow.cpp
extern const ScriptTable kCBoardFunctions;       // src/bind/m_cboard.cpp
extern const ScriptTable kCurveFunctions;        // src/modules/m_curve.cpp
extern const ScriptTable kCylindersFunctions;    // src/bind/m_cylinders.cpp
extern const ScriptTable kExponentFunctions;     // src/modules/m_exponent.cpp
extern const ScriptTable kPerlinFunctions;       // src/bind/m_perlin.cpp
extern const ScriptTable kRidgedMultiFunctions;  // src/bind/m_ridged_multi.cpp
extern const ScriptTable kSpheresFunctions;      // src/bind/m_spheres.cpp
extern const ScriptTable kTerraceFunctions;      // src/modules/m_terrace.cpp
extern const ScriptTable kTurbulenceFunctions;   // src/modules/m_turbulence.cpp
extern const ScriptTable kVoronoiFunctions;      // src/bind/m_voronoi.cpp

}  // namespace noisebind

#endif  // NOISEBIND_ENTRY_SCRIPT_TABLES_H
