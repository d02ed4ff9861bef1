#include "engine/graph/classes.h"

#include <libnoise/exception.h>
#include <libnoise/module/module.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <new>

#include "engine/graph/module_node.h"
#include "entry/conversions.h"

namespace noisebind::objects {
namespace {

using namespace noise::module;

constexpr char kNotFinite[] = "must be a finite number";
constexpr char kOctaves[] = "must be an integer from 1 to 30";
constexpr char kAboveUpper[] = "must be below upper";
constexpr char kBelowLower[] = "must be above lower";
constexpr char kQuality[] = "must be 0 (fast), 1 (standard) or 2 (best)";
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

// Only libnoise's three qualities: another number would be cast into the
// enum (undefined beyond int's range) and read as none of them.
template <class M, auto set>
const char* SetQuality(Node& node, double value) {
  if (value != 0.0 && value != 1.0 && value != 2.0) return kQuality;
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

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kSeedMin = std::numeric_limits<std::int32_t>::min();
constexpr double kSeedMax = std::numeric_limits<std::int32_t>::max();

template <class M, auto get, auto set>
constexpr Field Number(const char* name, const char* description) {
  return {name,        FieldType::kNumber, Get<M, get>, SetNumber<M, set>,
          description, -kInfinity,         kInfinity};
}

template <class M>
constexpr Field Seed() {
  return {"seed",
          FieldType::kInteger,
          Get<M, &M::GetSeed>,
          SetInteger<M, &M::SetSeed>,
          "picks the noise: each seed gives other noise",
          kSeedMin,
          kSeedMax};
}

template <class M>
constexpr Field Octaves() {
  return {"octaves",
          FieldType::kInteger,
          Get<M, &M::GetOctaveCount>,
          SetOctaves<M, &M::SetOctaveCount>,
          "how many octaves of noise are summed",
          1,
          kMaxOctaves};
}

template <class M>
constexpr Field Quality() {
  return {"quality",
          FieldType::kQuality,
          Get<M, &M::GetNoiseQuality>,
          SetQuality<M, &M::SetNoiseQuality>,
          "the smoothness of the noise: fast, standard or best",
          0,
          2};
}

template <class M>
constexpr Field Frequency(const char* description = "the frequency of the first octave") {
  return Number<M, &M::GetFrequency, &M::SetFrequency>("frequency", description);
}

template <class M>
constexpr Field Lacunarity() {
  return Number<M, &M::GetLacunarity, &M::SetLacunarity>(
      "lacunarity", "the frequency multiplier from one octave to the next");
}

// The settings of Perlin and Billow, which are the same.
template <class M>
constexpr Field kFractal[] = {
    Frequency<M>(),
    Lacunarity<M>(),
    Octaves<M>(),
    Number<M, &M::GetPersistence, &M::SetPersistence>(
        "persistence", "the amplitude multiplier from one octave to the next"),
    Quality<M>(),
    Seed<M>(),
};

constexpr Field kRidgedMulti[] = {
    Frequency<RidgedMulti>(), Lacunarity<RidgedMulti>(), Octaves<RidgedMulti>(),
    Quality<RidgedMulti>(),   Seed<RidgedMulti>(),
};

constexpr Field kVoronoi[] = {
    Number<Voronoi, &Voronoi::GetDisplacement, &Voronoi::SetDisplacement>(
        "displacement", "the range of the random value of each cell"),
    {"distance", FieldType::kBoolean, Get<Voronoi, &Voronoi::IsDistanceEnabled>,
     SetBoolean<Voronoi, &Voronoi::EnableDistance>,
     "whether the distance to the nearest seed point is added", 0, 1},
    Frequency<Voronoi>("the frequency of the seed points"),
    Seed<Voronoi>(),
};

template <class M>
constexpr Field kFrequency[] = {Frequency<M>("how many shapes per unit length")};

constexpr Field kConst[] = {
    Number<Const, &Const::GetConstValue, &Const::SetConstValue>("value", "the value everywhere")};

template <class M>
constexpr Field kBounds[] = {
    {"lower", FieldType::kNumber, Get<M, &M::GetLowerBound>, SetLower<M>,
     "the lower bound, below upper", -kInfinity, kInfinity},
    {"upper", FieldType::kNumber, Get<M, &M::GetUpperBound>, SetUpper<M>,
     "the upper bound, above lower", -kInfinity, kInfinity},
};

constexpr Field kSelect[] = {
    kBounds<Select>[0],
    kBounds<Select>[1],
    Number<Select, &Select::GetEdgeFalloff, &Select::SetEdgeFalloff>(
        "falloff", "the width of the blend at each bound, at most half the bounds' distance"),
};

constexpr Field kExponent[] = {Number<Exponent, &Exponent::GetExponent, &Exponent::SetExponent>(
    "exponent", "the power the source's value, mapped to 0..1, is raised to")};

constexpr Field kScaleBias[] = {
    Number<ScaleBias, &ScaleBias::GetScale, &ScaleBias::SetScale>(
        "scale", "what the value is multiplied by"),
    Number<ScaleBias, &ScaleBias::GetBias, &ScaleBias::SetBias>("bias",
                                                                "what is added after scaling"),
};

constexpr Field kTerrace[] = {
    {"invert", FieldType::kBoolean, Get<Terrace, &Terrace::IsTerracesInverted>,
     SetBoolean<Terrace, &Terrace::InvertTerraces>, "whether the terraces curve the other way", 0,
     1},
};

constexpr Field kRotatePoint[] = {
    Number<RotatePoint, &RotatePoint::GetXAngle, &RotatePoint::SetXAngle>(
        "x", "the rotation about the x axis, in degrees"),
    Number<RotatePoint, &RotatePoint::GetYAngle, &RotatePoint::SetYAngle>(
        "y", "the rotation about the y axis, in degrees"),
    Number<RotatePoint, &RotatePoint::GetZAngle, &RotatePoint::SetZAngle>(
        "z", "the rotation about the z axis, in degrees"),
};

constexpr Field kScalePoint[] = {
    Number<ScalePoint, &ScalePoint::GetXScale, &ScalePoint::SetXScale>("x", "the x scale"),
    Number<ScalePoint, &ScalePoint::GetYScale, &ScalePoint::SetYScale>("y", "the y scale"),
    Number<ScalePoint, &ScalePoint::GetZScale, &ScalePoint::SetZScale>("z", "the z scale"),
};

constexpr Field kTranslatePoint[] = {
    Number<TranslatePoint, &TranslatePoint::GetXTranslation, &TranslatePoint::SetXTranslation>(
        "x", "what is added to x"),
    Number<TranslatePoint, &TranslatePoint::GetYTranslation, &TranslatePoint::SetYTranslation>(
        "y", "what is added to y"),
    Number<TranslatePoint, &TranslatePoint::GetZTranslation, &TranslatePoint::SetZTranslation>(
        "z", "what is added to z"),
};

// Roughness is the octave count of Turbulence's three Perlin modules.
constexpr Field kTurbulence[] = {
    Frequency<Turbulence>("the frequency of the displacement"),
    Number<Turbulence, &Turbulence::GetPower, &Turbulence::SetPower>(
        "power", "how far points are displaced"),
    {"roughness", FieldType::kInteger, Get<Turbulence, &Turbulence::GetRoughnessCount>,
     SetOctaves<Turbulence, &Turbulence::SetRoughness>, "the octaves of the displacement noise", 1,
     kMaxOctaves},
    Seed<Turbulence>(),
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

// What each class does and what its sources are for, for the schema: one
// row per class, in the order of Kind (checked below).
struct About {
  Kind kind;
  const char* description;
  const char* const* roles;
  int roleCount;
  const PointsInfo* points;
};

constexpr const char* kOne[] = {"source"};
constexpr const char* kTwo[] = {"source", "source"};
constexpr const char* kBlendRoles[] = {"low", "high", "control"};
constexpr const char* kSelectRoles[] = {"outside", "inside", "control"};
constexpr const char* kDisplaceRoles[] = {"source", "x displacement", "y displacement",
                                          "z displacement"};
constexpr const char* kPowerRoles[] = {"base", "exponent"};

constexpr PointsInfo kCurvePoints = {
    "pairs", 4, "the curve's [input, output] points, inputs distinct, at least 4 to evaluate"};
constexpr PointsInfo kTerracePoints = {"numbers", 2,
                                       "the terraces' edges, distinct, at least 2 to evaluate"};

template <std::size_t n>
constexpr About Describe(Kind kind, const char* description, const char* const (&roles)[n],
                         const PointsInfo* points = nullptr) {
  return {kind, description, roles, static_cast<int>(n), points};
}
constexpr About Describe(Kind kind, const char* description) {
  return {kind, description, nullptr, 0, nullptr};
}

constexpr About kAbout[] = {
    Describe(Kind::kAbs, "the absolute value of the source", kOne),
    Describe(Kind::kAdd, "the sum of the two sources", kTwo),
    Describe(Kind::kBillow, "billowy noise: the absolute value of each octave of Perlin noise"),
    Describe(Kind::kBlend, "low and high mixed by control: all low at -1, all high at 1",
             kBlendRoles),
    Describe(Kind::kCache, "the source's value, computed once where several nodes read it", kOne),
    Describe(Kind::kCheckerboard, "a checkerboard of unit cubes, -1 and 1"),
    Describe(Kind::kClamp, "the source's value kept between lower and upper", kOne),
    Describe(Kind::kConst, "the same value everywhere"),
    Describe(Kind::kCurve, "the source's value mapped through a cubic curve", kOne, &kCurvePoints),
    Describe(Kind::kCylinders, "concentric cylinders about the y axis"),
    Describe(Kind::kDisplace, "the source at a point moved by three displacement sources",
             kDisplaceRoles),
    Describe(Kind::kExponent, "the source's value raised to a power, keeping its range", kOne),
    Describe(Kind::kInvert, "the source's value negated", kOne),
    Describe(Kind::kMax, "the larger of the two sources", kTwo),
    Describe(Kind::kMin, "the smaller of the two sources", kTwo),
    Describe(Kind::kMultiply, "the product of the two sources", kTwo),
    Describe(Kind::kPerlin, "Perlin noise: octaves of gradient noise summed"),
    Describe(Kind::kPower, "base raised to the power of exponent", kPowerRoles),
    Describe(Kind::kRidgedMulti, "ridged multifractal noise: sharp ridges, as mountains"),
    Describe(Kind::kRotatePoint, "the source at the point rotated about the origin", kOne),
    Describe(Kind::kScaleBias, "the source's value times scale, plus bias", kOne),
    Describe(Kind::kScalePoint, "the source at the point scaled on each axis", kOne),
    Describe(Kind::kSelect, "inside where control lies between the bounds, else outside",
             kSelectRoles),
    Describe(Kind::kSpheres, "concentric spheres about the origin"),
    Describe(Kind::kTerrace, "the source's value mapped onto terraces", kOne, &kTerracePoints),
    Describe(Kind::kTranslatePoint, "the source at the point moved", kOne),
    Describe(Kind::kTurbulence, "the source at the point displaced by Perlin noise", kOne),
    Describe(Kind::kVoronoi, "Voronoi cells, each of one random value"),
};

constexpr bool AboutMatchesKinds() {
  if (std::size(kAbout) != static_cast<std::size_t>(kKindCount)) return false;
  for (std::size_t i = 0; i < std::size(kAbout); ++i) {
    if (static_cast<std::size_t>(kAbout[i].kind) != i) return false;
  }
  return true;
}
static_assert(AboutMatchesKinds(), "kAbout has one row per class, in the order of Kind");

struct Entry {
  ClassInfo info;
  Node* (*create)(Kind kind);
};

template <class M, std::size_t n>
constexpr Entry Make(Kind kind, int sources, const Field (&fields)[n]) {
  const About& about = kAbout[static_cast<int>(kind)];
  return {{kind, sources, fields, n, about.description, about.roles, about.points}, Create<M>};
}

template <class M>
constexpr Entry Make(Kind kind, int sources, NoFields) {
  const About& about = kAbout[static_cast<int>(kind)];
  return {{kind, sources, nullptr, 0, about.description, about.roles, about.points}, Create<M>};
}

const Entry kClasses[] = {
#define NOISEBIND_ENTRY(name, held, sources, fields, evaluate) \
  Make<held>(Kind::k##name, sources, fields),
    NOISEBIND_CLASSES(NOISEBIND_ENTRY)
#undef NOISEBIND_ENTRY
};

// Each class has a role for every source it takes.
constexpr bool RolesMatchSources() {
#define NOISEBIND_ROLES(name, held, sources, ...) \
  if (kAbout[static_cast<int>(Kind::k##name)].roleCount != sources) return false;
  NOISEBIND_CLASSES(NOISEBIND_ROLES)
#undef NOISEBIND_ROLES
  return true;
}
static_assert(RolesMatchSources(), "every source of every class has a role");

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
