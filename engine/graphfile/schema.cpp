// The schema: the class table as JSON, for editors, checkers and other
// languages.
#include <cmath>
#include <nlohmann/json.hpp>

#include "engine/graph/classes.h"
#include "engine/graph/curve_terrace_points.h"
#include "engine/graphfile/graph_file.h"

namespace noisebind::graphfile {
namespace {

using Json = nlohmann::ordered_json;
using objects::ClassInfo;
using objects::Field;
using objects::FieldType;
using objects::Kind;

constexpr const char* kTypeNames[] = {"number", "integer", "boolean", "quality"};

// A field's default is what a new node of the class holds.
Json Default(const objects::Node& node, const Field& field) {
  const double value = field.get(node);
  switch (field.type) {
    case FieldType::kBoolean:
      return value != 0.0;
    case FieldType::kQuality:
      return objects::QualityName(static_cast<int>(value));
    case FieldType::kInteger:
      return static_cast<long long>(value);
    case FieldType::kNumber:
      break;
  }
  return value;
}

Json FieldSchema(const objects::Node& node, const Field& field) {
  Json schema = {{"name", field.name},
                 {"type", kTypeNames[static_cast<int>(field.type)]},
                 {"default", Default(node, field)}};
  if (field.type == FieldType::kInteger) {
    schema["minimum"] = static_cast<long long>(field.minimum);
    schema["maximum"] = static_cast<long long>(field.maximum);
  }
  if (field.type == FieldType::kQuality) {
    schema["values"] = Json::array();
    for (int q = 0; q <= static_cast<int>(field.maximum); ++q) {
      schema["values"].push_back(objects::QualityName(q));
    }
  }
  schema["description"] = field.description;
  return schema;
}

Json ClassSchema(Kind kind) {
  const ClassInfo& info = objects::ClassOf(kind);
  Json schema = {{"class", objects::KindName(kind)}, {"description", info.description}};
  schema["sources"] = Json::array();
  for (int i = 0; i < info.sourceCount; ++i) schema["sources"].push_back(info.roles[i]);
  schema["fields"] = Json::array();
  const NodePtr node(objects::CreateNode(kind));
  if (node == nullptr) throw std::bad_alloc();
  for (std::size_t f = 0; f < info.fieldCount; ++f) {
    schema["fields"].push_back(FieldSchema(*node, info.fields[f]));
  }
  if (info.points != nullptr) {
    schema["fields"].push_back({{"name", "points"},
                                {"type", info.points->type},
                                {"default", Json::array()},
                                {"minItems", info.points->minimum},
                                {"maxItems", objects::kMaxControlPoints},
                                {"description", info.points->description}});
  }
  return schema;
}

}  // namespace

std::string SchemaJson(bool compact) {
  Json schema = {{"format", kFormatName}, {"version", kFormatVersion}};
  schema["classes"] = Json::array();
  for (int k = 0; k < objects::kKindCount; ++k) {
    schema["classes"].push_back(ClassSchema(static_cast<Kind>(k)));
  }
  return schema.dump(compact ? -1 : 2) + (compact ? "" : "\n");
}

}  // namespace noisebind::graphfile
