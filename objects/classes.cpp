#include "objects/classes.h"

#include <libnoise/exception.h>
#include <libnoise/module/module.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <new>

#include "entry/conversions.h"
#include "objects/module_node.h"

namespace noisebind::objects {
namespace {

using namespace noise::module;

constexpr char kNotFinite[] = "must be a finite number";
constexpr char kOctaves[] = "must be an integer from 1 to 30";
constexpr char kAboveUpper[] = "must be below upper";
constexpr char kBelowLower[] = "must be above lower";
constexpr char kRefused[] = "is refused by libnoise";
constexpr char kNoMemory[] = "cannot be set: not enough memory";
// The octave limit of Perlin, Billow and RidgedMulti (and so of the
// roughness of Turbulence, which sets the octaves of three Perlin modules).
constexpr int kMaxOctaves = 30;
static_assert(kMaxOctaves == PERLIN_MAX_OCTAVE && kMaxOctaves == BILLOW_MAX_OCTAVE &&
              kMaxOctaves == RIDGED_MAX_OCTAVE);

// Getters and setters over libnoise's own, one template each.
template <class M, auto get>
double Get(const Node& node) {
  return static_cast<double>((node.As<M>()->*get)());
}

template <class M, auto set>
const char* SetNumber(Node& node, double value) {
  if (!std::isfinite(value)) return kNotFinite;
  (node.MutableAs<M>()->*set)(value);
  return nullptr;
}

template <class M, auto set>
const char* SetInteger(Node& node, double value) {
  (node.MutableAs<M>()->*set)(ToInt32(value));
  return nullptr;
}

// Octave counts: libnoise's range, checked here for all three classes
// (RidgedMulti itself only refuses counts above it).
template <class M, auto set>
const char* SetOctaves(Node& node, double value) {
  const int octaves = ToInt32(value);
  if (octaves < 1 || octaves > kMaxOctaves) return kOctaves;
  (node.MutableAs<M>()->*set)(octaves);
  return nullptr;
}

template <class M, auto set>
const char* SetBoolean(Node& node, double value) {
  (node.MutableAs<M>()->*set)(value != 0.0);
  return nullptr;
}

template <class M, auto set>
const char* SetQuality(Node& node, double value) {
  (node.MutableAs<M>()->*set)(static_cast<noise::NoiseQuality>(static_cast<int>(value)));
  return nullptr;
}

// Clamp and Select take both bounds at once; libnoise asserts lower < upper
// (equal bounds would abort the process).
template <class M>
const char* SetLower(Node& node, double value) {
  if (!std::isfinite(value)) return kNotFinite;
  M* module = node.MutableAs<M>();
  if (!(value < module->GetUpperBound())) return kAboveUpper;
  module->SetBounds(value, module->GetUpperBound());
  return nullptr;
}

template <class M>
const char* SetUpper(Node& node, double value) {
  if (!std::isfinite(value)) return kNotFinite;
  M* module = node.MutableAs<M>();
  if (!(value > module->GetLowerBound())) return kBelowLower;
  module->SetBounds(module->GetLowerBound(), value);
  return nullptr;
}

template <class M, auto get, auto set>
constexpr Field Number(const char* name) {
  return {name, FieldType::kNumber, Get<M, get>, SetNumber<M, set>};
}

template <class M, auto get, auto set>
constexpr Field Integer(const char* name) {
  return {name, FieldType::kInteger, Get<M, get>, SetInteger<M, set>};
}

template <class M>
constexpr Field Octaves() {
  return {"octaves", FieldType::kInteger, Get<M, &M::GetOctaveCount>,
          SetOctaves<M, &M::SetOctaveCount>};
}

template <class M>
constexpr Field Quality() {
  return {"quality", FieldType::kQuality, Get<M, &M::GetNoiseQuality>,
          SetQuality<M, &M::SetNoiseQuality>};
}

// The settings of Perlin and Billow, which are the same.
template <class M>
constexpr Field kFractal[] = {
    Number<M, &M::GetFrequency, &M::SetFrequency>("frequency"),
    Number<M, &M::GetLacunarity, &M::SetLacunarity>("lacunarity"),
    Octaves<M>(),
    Number<M, &M::GetPersistence, &M::SetPersistence>("persistence"),
    Quality<M>(),
    Integer<M, &M::GetSeed, &M::SetSeed>("seed"),
};

constexpr Field kRidgedMulti[] = {
    Number<RidgedMulti, &RidgedMulti::GetFrequency, &RidgedMulti::SetFrequency>("frequency"),
    Number<RidgedMulti, &RidgedMulti::GetLacunarity, &RidgedMulti::SetLacunarity>("lacunarity"),
    Octaves<RidgedMulti>(),
    Quality<RidgedMulti>(),
    Integer<RidgedMulti, &RidgedMulti::GetSeed, &RidgedMulti::SetSeed>("seed"),
};

constexpr Field kVoronoi[] = {
    Number<Voronoi, &Voronoi::GetDisplacement, &Voronoi::SetDisplacement>("displacement"),
    {"distance", FieldType::kBoolean, Get<Voronoi, &Voronoi::IsDistanceEnabled>,
     SetBoolean<Voronoi, &Voronoi::EnableDistance>},
    Number<Voronoi, &Voronoi::GetFrequency, &Voronoi::SetFrequency>("frequency"),
    Integer<Voronoi, &Voronoi::GetSeed, &Voronoi::SetSeed>("seed"),
};

template <class M>
constexpr Field kFrequency[] = {Number<M, &M::GetFrequency, &M::SetFrequency>("frequency")};

constexpr Field kConst[] = {Number<Const, &Const::GetConstValue, &Const::SetConstValue>("value")};

template <class M>
constexpr Field kBounds[] = {
    {"lower", FieldType::kNumber, Get<M, &M::GetLowerBound>, SetLower<M>},
    {"upper", FieldType::kNumber, Get<M, &M::GetUpperBound>, SetUpper<M>},
};

constexpr Field kSelect[] = {
    kBounds<Select>[0],
    kBounds<Select>[1],
    Number<Select, &Select::GetEdgeFalloff, &Select::SetEdgeFalloff>("falloff"),
};

constexpr Field kExponent[] = {
    Number<Exponent, &Exponent::GetExponent, &Exponent::SetExponent>("exponent")};

constexpr Field kScaleBias[] = {
    Number<ScaleBias, &ScaleBias::GetScale, &ScaleBias::SetScale>("scale"),
    Number<ScaleBias, &ScaleBias::GetBias, &ScaleBias::SetBias>("bias"),
};

constexpr Field kTerrace[] = {
    {"invert", FieldType::kBoolean, Get<Terrace, &Terrace::IsTerracesInverted>,
     SetBoolean<Terrace, &Terrace::InvertTerraces>},
};

constexpr Field kRotatePoint[] = {
    Number<RotatePoint, &RotatePoint::GetXAngle, &RotatePoint::SetXAngle>("x"),
    Number<RotatePoint, &RotatePoint::GetYAngle, &RotatePoint::SetYAngle>("y"),
    Number<RotatePoint, &RotatePoint::GetZAngle, &RotatePoint::SetZAngle>("z"),
};

constexpr Field kScalePoint[] = {
    Number<ScalePoint, &ScalePoint::GetXScale, &ScalePoint::SetXScale>("x"),
    Number<ScalePoint, &ScalePoint::GetYScale, &ScalePoint::SetYScale>("y"),
    Number<ScalePoint, &ScalePoint::GetZScale, &ScalePoint::SetZScale>("z"),
};

constexpr Field kTranslatePoint[] = {
    Number<TranslatePoint, &TranslatePoint::GetXTranslation, &TranslatePoint::SetXTranslation>("x"),
    Number<TranslatePoint, &TranslatePoint::GetYTranslation, &TranslatePoint::SetYTranslation>("y"),
    Number<TranslatePoint, &TranslatePoint::GetZTranslation, &TranslatePoint::SetZTranslation>("z"),
};

// Roughness is the octave count of Turbulence's three Perlin modules.
constexpr Field kTurbulence[] = {
    Number<Turbulence, &Turbulence::GetFrequency, &Turbulence::SetFrequency>("frequency"),
    Number<Turbulence, &Turbulence::GetPower, &Turbulence::SetPower>("power"),
    {"roughness", FieldType::kInteger, Get<Turbulence, &Turbulence::GetRoughnessCount>,
     SetOctaves<Turbulence, &Turbulence::SetRoughness>},
    Integer<Turbulence, &Turbulence::GetSeed, &Turbulence::SetSeed>("seed"),
};

// libnoise's Cache keeps the last point and its value inside the module:
// two threads reading one graph would race on them, and the value goes
// stale when a setting below it changes. Its value is its source's, and the
// batch path shares every node read twice anyway, so this one forwards.
class ForwardingCache : public Cache {
 public:
  double GetValue(double x, double y, double z) const override {
    return m_pSourceModule[0]->GetValue(x, y, z);
  }
};

// The fields of a class without settings.
struct NoFields {};
constexpr NoFields kNoFields;

template <class M>
Node* Create(Kind kind) {
  return new ModuleNode<M>(kind);
}

struct Entry {
  ClassInfo info;
  Node* (*create)(Kind kind);
};

template <class M, std::size_t n>
constexpr Entry Make(Kind kind, int sources, const Field (&fields)[n]) {
  return {{kind, sources, fields, n}, Create<M>};
}

template <class M>
constexpr Entry Make(Kind kind, int sources, NoFields) {
  return {{kind, sources, nullptr, 0}, Create<M>};
}

const Entry kClasses[] = {
#define NOISEBIND_ENTRY(name, held, sources, fields, evaluate) \
  Make<held>(Kind::k##name, sources, fields),
    NOISEBIND_CLASSES(NOISEBIND_ENTRY)
#undef NOISEBIND_ENTRY
};

constexpr const char* kQualityNames[] = {"fast", "standard", "best"};

}  // namespace

const ClassInfo& ClassOf(Kind kind) {
  return kClasses[static_cast<int>(kind)].info;
}

const Field* FindField(const ClassInfo& info, const char* name) {
  for (std::size_t i = 0; i < info.fieldCount; ++i) {
    if (std::strcmp(info.fields[i].name, name) == 0) return &info.fields[i];
  }
  return nullptr;
}

const char* SetField(Node& node, const Field& field, double value) noexcept {
  try {
    return field.set(node, value);
  } catch (const noise::ExceptionInvalidParam&) {
    return kRefused;
  } catch (const std::bad_alloc&) {
    return kNoMemory;
  } catch (...) {
    return kRefused;
  }
}

Node* CreateNode(Kind kind) noexcept {
  try {
    return kClasses[static_cast<int>(kind)].create(kind);
  } catch (...) {
    return nullptr;
  }
}

void DestroyNode(Node* node) noexcept {
  delete node;
}

const char* QualityName(int quality) {
  return quality >= 0 && quality < static_cast<int>(std::size(kQualityNames))
             ? kQualityNames[quality]
             : "standard";
}

}  // namespace noisebind::objects
