// What a script can make: each libnoise class with its settings (fields)
// and its sources, as data. Lua-free: the binding converts Lua values to
// the doubles here, and back.
#ifndef NOISEBIND_OBJECTS_CLASSES_H
#define NOISEBIND_OBJECTS_CLASSES_H

#include <cstddef>

#include "engine/graph/node.h"

namespace noisebind::objects {

enum class FieldType {
  kNumber,   // a finite double
  kInteger,  // converted as LibNoise converts integers, then range-checked
  kBoolean,  // 0 or 1
  kQuality,  // noise::NoiseQuality: 0 fast, 1 standard, 2 best
};

struct Field {
  const char* name;
  FieldType type;
  double (*get)(const Node& node);
  // Checks `value`; applies it and returns null, or returns why it is
  // refused (e.g. "must be an integer from 1 to 30") and changes nothing.
  // May throw what libnoise throws: call it through SetField.
  const char* (*set)(Node& node, double value);
  const char* description;  // one line, for the schema
  // The range a value must lie in (integers: what the setter takes; numbers:
  // -inf to inf, any finite number).
  double minimum;
  double maximum;
};

// The control points of Curve and Terrace, which are a list rather than a
// number: described for the schema.
struct PointsInfo {
  const char* type;  // "pairs" ([input, output] each) or "numbers"
  int minimum;       // the fewest a node is evaluated with
  const char* description;
};

struct ClassInfo {
  Kind kind;
  int sourceCount;
  const Field* fields;
  std::size_t fieldCount;
  const char* description;   // one line, for the schema
  const char* const* roles;  // what each source is for: "source", "control", ...
  const PointsInfo* points;  // null for classes without control points
};

const ClassInfo& ClassOf(Kind kind);

// The field called `name`, or null.
const Field* FindField(const ClassInfo& info, const char* name);

// field.set without exceptions: null when applied, else why not (libnoise's
// own refusals too). Changes nothing when it refuses.
const char* SetField(Node& node, const Field& field, double value) noexcept;

// A new node of `kind` with libnoise's defaults and no sources; null when
// memory runs out. The caller owns it (DestroyNode).
Node* CreateNode(Kind kind) noexcept;
void DestroyNode(Node* node) noexcept;

// "fast", "standard", "best" for quality 0 to 2.
const char* QualityName(int quality);

}  // namespace noisebind::objects

#endif  // NOISEBIND_OBJECTS_CLASSES_H
