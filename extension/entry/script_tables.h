// Every script table of the extension, each defined at the end of the file
// named after it.
#ifndef NOISEBIND_ENTRY_SCRIPT_TABLES_H
#define NOISEBIND_ENTRY_SCRIPT_TABLES_H

#include "entry/script_table.h"

namespace noisebind {

extern const ScriptTable kPrimaryFunctions;  // extension/bind/primary.cpp

extern const ScriptTable kLineFunctions;      // extension/bind/line.cpp
extern const ScriptTable kPlaneFunctions;     // extension/bind/plane.cpp
extern const ScriptTable kSphereFunctions;    // extension/bind/sphere.cpp
extern const ScriptTable kCylinderFunctions;  // extension/bind/cylinder.cpp

extern const ScriptTable kBillowFunctions;       // extension/bind/m_billow.cpp
extern const ScriptTable kCBoardFunctions;       // extension/bind/m_cboard.cpp
extern const ScriptTable kCurveFunctions;        // extension/modules/m_curve.cpp
extern const ScriptTable kCylindersFunctions;    // extension/bind/m_cylinders.cpp
extern const ScriptTable kExponentFunctions;     // extension/modules/m_exponent.cpp
extern const ScriptTable kPerlinFunctions;       // extension/bind/m_perlin.cpp
extern const ScriptTable kRidgedMultiFunctions;  // extension/bind/m_ridged_multi.cpp
extern const ScriptTable kSpheresFunctions;      // extension/bind/m_spheres.cpp
extern const ScriptTable kTerraceFunctions;      // extension/modules/m_terrace.cpp
extern const ScriptTable kTurbulenceFunctions;   // extension/modules/m_turbulence.cpp
extern const ScriptTable kVoronoiFunctions;      // extension/bind/m_voronoi.cpp

}  // namespace noisebind

#endif  // NOISEBIND_ENTRY_SCRIPT_TABLES_H
