#include "programs/noisebind/area.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "engine/maps/map_bounds.h"
#include "engine/maps/map_values.h"

namespace noisebind::cli {
namespace {

struct ProjectionOption {
  const char* flag;
  std::string AreaOptions::*text;
  maps::Projection projection;
};

constexpr ProjectionOption kProjections[] = {
    {"--plane", &AreaOptions::plane, maps::Projection::kPlane},
    {"--sphere", &AreaOptions::sphere, maps::Projection::kSphere},
    {"--cylinder", &AreaOptions::cylinder, maps::Projection::kCylinder},
};

bool ParseNumber(const std::string& text, double* number) {
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])) != 0) return false;
  char* end = nullptr;
  errno = 0;
  *number = std::strtod(text.c_str(), &end);
  return *end == '\0' && *number - *number == 0.0;
}

std::string Quoted(const std::string& text) {
  return "'" + text + "'";
}

// The fault of a pair of bounds in the words of the command line.
std::string SpanMessage(const char* flag, const char* const* names, maps::SpanFault fault,
                        double limit) {
  const std::string pair = std::string(names[0]) + " and " + names[1];
  switch (fault) {
    case maps::SpanFault::kReversed:
      return std::string(flag) + ": " + names[0] + " must be below " + names[1];
    case maps::SpanFault::kInfinite:
      return std::string(flag) + ": " + names[1] + " - " + names[0] + " must be finite";
    case maps::SpanFault::kOutside:
      return std::string(flag) + ": " + pair + " must lie within -" +
             std::to_string(static_cast<int>(limit)) + " and " +
             std::to_string(static_cast<int>(limit));
    case maps::SpanFault::kNone:
      break;
  }
  return std::string();
}

}  // namespace

bool ParseNumbers(const std::string& text, int count, double* numbers, std::string* error) {
  int found = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma == std::string::npos ? comma : comma - start);
    if (found == count) {
      *error =
          "expected " + std::to_string(count) + " numbers separated by commas, got " + Quoted(text);
      return false;
    }
    if (!ParseNumber(item, &numbers[found])) {
      *error = "expected finite numbers separated by commas, got " + Quoted(item);
      return false;
    }
    ++found;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (found != count) {
    *error =
        "expected " + std::to_string(count) + " numbers separated by commas, got " + Quoted(text);
    return false;
  }
  return true;
}

bool ParseSize(const std::string& text, std::uint32_t* width, std::uint32_t* height,
               std::string* error) {
  const std::size_t x = text.find('x');
  std::uint32_t* sides[2] = {width, height};
  const std::string parts[2] = {text.substr(0, x),
                                x == std::string::npos ? std::string() : text.substr(x + 1)};
  for (int i = 0; i < 2; ++i) {
    const std::string& part = parts[i];
    const bool digits = !part.empty() && part.size() <= 7 &&
                        part.find_first_not_of("0123456789") == std::string::npos;
    const unsigned long side = digits ? std::strtoul(part.c_str(), nullptr, 10) : 0;
    if (side < 1 || side > maps::kMaxMapSide) {
      *error = "--size: expected WIDTHxHEIGHT, each from 1 to " +
               std::to_string(maps::kMaxMapSide) + ", got " + Quoted(text);
      return false;
    }
    *sides[i] = static_cast<std::uint32_t>(side);
  }
  if (!maps::MapSizeAllowed(*width, *height)) {
    *error = "--size: " + text + " is too large a map (at most " +
             std::to_string(maps::kMaxMapValues) + " values)";
    return false;
  }
  return true;
}

void AddAreaOptions(CLI::App* verb, AreaOptions* options, const std::string& fallbackSize,
                    bool required) {
  CLI::Option* plane = verb->add_option("--plane", options->plane, "x0,x1,z0,z1: a plane at y = 0")
                           ->type_name("BOUNDS");
  CLI::Option* sphere =
      verb->add_option("--sphere", options->sphere,
                       "south,north,west,east: a sphere's latitudes and longitudes, in degrees")
          ->type_name("BOUNDS");
  CLI::Option* cylinder =
      verb->add_option("--cylinder", options->cylinder,
                       "angle0,angle1,height0,height1: a cylinder's angles (degrees) and heights")
          ->type_name("BOUNDS");
  plane->excludes(sphere)->excludes(cylinder);
  sphere->excludes(cylinder);
  CLI::Option_group* area = verb->add_option_group("area", "where to map, one of");
  area->add_options(plane, sphere, cylinder);
  if (required) area->require_option(1);
  CLI::Option* size =
      verb->add_option("--size", options->size, "the map's size, e.g. 512x256")->type_name("WxH");
  if (fallbackSize.empty()) {
    size->required();
  } else {
    size->description("the map's size, " + fallbackSize + " by default");
  }
  verb->add_flag("--seamless", options->seamless, "planes only: values that tile");
  verb->add_option("--positions", options->positions,
                   "where samples lie: index (from + i * span / size) or noiseutils "
                   "(as libnoise's noiseutils builders place them)")
      ->check(CLI::IsMember({"index", "noiseutils"}))
      ->type_name("WHERE");
  verb->add_option("--threads", options->threads, "threads to map on (every core by default)")
      ->check(CLI::Range(1, 256))
      ->type_name("N");
}

std::string AreaName(const AreaOptions& options, const std::string& fallbackPlane) {
  for (const ProjectionOption& option : kProjections) {
    const std::string& text = options.*option.text;
    if (!text.empty()) return std::string(option.flag + 2) + " " + text;
  }
  return "plane " + fallbackPlane;
}

bool AreaRequest(const AreaOptions& options, const std::string& fallbackPlane,
                 const std::string& fallbackSize, maps::MapRequest* request, Failure* failure) {
  const ProjectionOption* chosen = &kProjections[0];
  std::string bounds = fallbackPlane;
  for (const ProjectionOption& option : kProjections) {
    if (!(options.*option.text).empty()) {
      chosen = &option;
      bounds = options.*option.text;
    }
  }
  std::string error;
  double numbers[4];
  if (!ParseNumbers(bounds, 4, numbers, &error)) {
    *failure = Failure{kUsageWrong, std::string(chosen->flag) + ": " + error};
    return false;
  }
  int pair = 0;
  const maps::SpanFault fault = maps::SetBounds(chosen->projection, numbers, request, &pair);
  if (fault != maps::SpanFault::kNone) {
    const maps::BoundsShape& shape = maps::ShapeOf(chosen->projection);
    char got[96];
    std::snprintf(got, sizeof got, ", got %.14g and %.14g", numbers[2 * pair],
                  numbers[2 * pair + 1]);
    *failure =
        Failure{kUsageWrong,
                SpanMessage(chosen->flag, shape.pairNames[pair], fault, shape.limits[pair]) + got};
    return false;
  }
  const std::string& size = options.size.empty() ? fallbackSize : options.size;
  if (!ParseSize(size, &request->width, &request->height, &error)) {
    *failure = Failure{kUsageWrong, error};
    return false;
  }
  if (options.seamless && chosen->projection != maps::Projection::kPlane) {
    *failure = Failure{kUsageWrong, "--seamless: planes only"};
    return false;
  }
  request->seamless = options.seamless;
  request->positions =
      options.positions == "noiseutils" ? maps::Positions::kNoiseUtils : maps::Positions::kIndex;
  return true;
}

}  // namespace noisebind::cli
