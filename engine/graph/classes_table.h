// Every class a node can hold, one row each, in the order of Kind:
//   ROW(name, held, sources, fields, batch)
// `name` is the script's and libnoise's class name; `held` the module class
// the node holds (libnoise's, or a subclass of it); `sources` the count
// libnoise's class takes; `fields` its settings (classes.cpp); `batch` how
// it evaluates a block (engine/graph/batch/kinds.h). The Kind enum, the names,
// the settings and the batch dispatch are all expanded from these rows, so
// adding a class is adding a row.
#ifndef NOISEBIND_OBJECTS_CLASSES_TABLE_H
#define NOISEBIND_OBJECTS_CLASSES_TABLE_H

// clang-format off
#define NOISEBIND_CLASSES(ROW)                                                   \
  ROW(Abs,            Abs,             1, kNoFields,           Abs)                \
  ROW(Add,            Add,             2, kNoFields,           Add)                \
  ROW(Billow,         Billow,          0, kFractal<Billow>,    Generate<Billow>)   \
  ROW(Blend,          Blend,           3, kNoFields,           Blend)              \
  ROW(Cache,          ForwardingCache, 1, kNoFields,           Cache)              \
  ROW(Checkerboard,   Checkerboard,    0, kNoFields,           Generate<Checkerboard>) \
  ROW(Clamp,          Clamp,           1, kBounds<Clamp>,      Clamp)              \
  ROW(Const,          Const,           0, kConst,              Generate<Const>)    \
  ROW(Curve,          Curve,           1, kNoFields,           Curve)              \
  ROW(Cylinders,      Cylinders,       0, kFrequency<Cylinders>, Generate<Cylinders>) \
  ROW(Displace,       Displace,        4, kNoFields,           Displace)           \
  ROW(Exponent,       Exponent,        1, kExponent,           Exponent)           \
  ROW(Invert,         Invert,          1, kNoFields,           Invert)             \
  ROW(Max,            Max,             2, kNoFields,           Max)                \
  ROW(Min,            Min,             2, kNoFields,           Min)                \
  ROW(Multiply,       Multiply,        2, kNoFields,           Multiply)           \
  ROW(Perlin,         Perlin,          0, kFractal<Perlin>,    Generate<Perlin>)   \
  ROW(Power,          Power,           2, kNoFields,           Power)              \
  ROW(RidgedMulti,    RidgedMulti,     0, kRidgedMulti,        Generate<RidgedMulti>) \
  ROW(RotatePoint,    RotatePoint,     1, kRotatePoint,        RotatePoint)        \
  ROW(ScaleBias,      ScaleBias,       1, kScaleBias,          ScaleBias)          \
  ROW(ScalePoint,     ScalePoint,      1, kScalePoint,         ScalePoint)         \
  ROW(Select,         Select,          3, kSelect,             Select)             \
  ROW(Spheres,        Spheres,         0, kFrequency<Spheres>, Generate<Spheres>)  \
  ROW(Terrace,        Terrace,         1, kTerrace,            Terrace)            \
  ROW(TranslatePoint, TranslatePoint,  1, kTranslatePoint,     TranslatePoint)     \
  ROW(Turbulence,     Turbulence,      1, kTurbulence,         Turbulence)         \
  ROW(Voronoi,        Voronoi,         0, kVoronoi,            Generate<Voronoi>)
// clang-format on

#endif  // NOISEBIND_OBJECTS_CLASSES_TABLE_H
