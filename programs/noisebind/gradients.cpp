#include "programs/noisebind/gradients.h"

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

namespace noisebind::cli {
namespace {

using render::Colour;
using render::GradientStop;

struct NamedGradient {
  const char* name;
  std::vector<GradientStop> stops;
};

// Over -1 to 1, the range most graphs give.
const std::vector<NamedGradient>& Gradients() {
  static const std::vector<NamedGradient> gradients = {
      {"grey", {{-1.0, Colour{0, 0, 0, 255}}, {1.0, Colour{255, 255, 255, 255}}}},
      {"terrain",
       {{-1.0, Colour{10, 20, 70, 255}},
        {-0.25, Colour{25, 75, 150, 255}},
        {-0.02, Colour{70, 140, 190, 255}},
        {0.0, Colour{200, 190, 140, 255}},
        {0.05, Colour{80, 150, 60, 255}},
        {0.35, Colour{110, 130, 60, 255}},
        {0.6, Colour{130, 105, 85, 255}},
        {0.85, Colour{170, 165, 160, 255}},
        {1.0, Colour{250, 250, 252, 255}}}},
      {"heat",
       {{-1.0, Colour{0, 0, 0, 255}},
        {-0.3, Colour{150, 20, 20, 255}},
        {0.3, Colour{250, 150, 20, 255}},
        {1.0, Colour{255, 255, 220, 255}}}},
  };
  return gradients;
}

bool ReadText(const std::string& path, std::string* text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream contents;
  contents << file.rdbuf();
  *text = contents.str();
  return !file.bad();
}

bool FiniteNumber(const nlohmann::json& item, double* value) {
  if (!item.is_number()) return false;
  *value = item.get<double>();
  return *value - *value == 0.0;
}

bool ParseStops(const std::string& text, std::vector<GradientStop>* stops, std::string* error) {
  const nlohmann::json document = nlohmann::json::parse(text, nullptr, false);
  if (document.is_discarded()) {
    *error = "not JSON";
    return false;
  }
  if (!document.is_array() || document.empty()) {
    *error = "expected an array of stops [value, red, green, blue (, alpha)]";
    return false;
  }
  for (std::size_t i = 0; i < document.size(); ++i) {
    const nlohmann::json& stop = document[i];
    const std::string which = "stop " + std::to_string(i + 1);
    if (!stop.is_array() || stop.size() < 4 || stop.size() > 5) {
      *error = which + " must be an array [value, red, green, blue (, alpha)]";
      return false;
    }
    double items[5] = {0, 0, 0, 0, 255};
    for (std::size_t k = 0; k < stop.size(); ++k) {
      if (!FiniteNumber(stop[k], &items[k])) {
        *error = which + ": item " + std::to_string(k + 1) + " must be a finite number";
        return false;
      }
    }
    if (!stops->empty() && !(items[0] > stops->back().value)) {
      *error = which + " must be above stop " + std::to_string(i) + " in value";
      return false;
    }
    stops->push_back(GradientStop{items[0], Colour{items[1], items[2], items[3], items[4]}});
  }
  return true;
}

}  // namespace

std::vector<std::string> GradientNames() {
  std::vector<std::string> names;
  for (const NamedGradient& gradient : Gradients()) names.emplace_back(gradient.name);
  return names;
}

bool LoadGradient(const std::string& nameOrPath, std::vector<GradientStop>* stops,
                  Failure* failure) {
  for (const NamedGradient& gradient : Gradients()) {
    if (nameOrPath == gradient.name) {
      *stops = gradient.stops;
      return true;
    }
  }
  std::string text;
  if (!ReadText(nameOrPath, &text)) {
    *failure = Failure{kUsageWrong, "--gradient: no gradient is called '" + nameOrPath +
                                        "' and no such file can be read"};
    return false;
  }
  std::string error;
  if (!ParseStops(text, stops, &error)) {
    *failure = Failure{kInputWrong, nameOrPath + ": " + error};
    return false;
  }
  return true;
}

}  // namespace noisebind::cli
