// The metadata of a pyramid: TileJSON 3.0.0 fields, plus what a map page
// and a verifier need to know about how the tiles were made.
#include <nlohmann/json.hpp>

#include "engine/tiles/pyramid.h"

namespace noisebind::tiles {
namespace {

using Json = nlohmann::ordered_json;

Json ColourJson(const render::Colour& colour) {
  return Json::array({colour.red, colour.green, colour.blue, colour.alpha});
}

Json StyleJson(const PyramidPlan& plan) {
  const TileStyle& style = plan.style;
  switch (plan.format) {
    case TileFormat::kPng: {
      Json stops = Json::array();
      for (const render::GradientStop& stop : style.gradient)
        stops.push_back(Json::array({stop.value, ColourJson(stop.colour)}));
      Json light = nullptr;
      if (style.lit) {
        light =
            Json{{"azimuth", style.light.azimuth},   {"elevation", style.light.elevation},
                 {"contrast", style.light.contrast}, {"brightness", style.light.brightness},
                 {"scale", style.light.scale},       {"colour", ColourJson(style.light.colour)}};
      }
      return Json{{"gradient", stops}, {"light", light}};
    }
    case TileFormat::kHeightmap16:
      return Json{{"low", style.low}, {"high", style.high}};
    case TileFormat::kTerrainRgb:
      // height in metres = value * heightScale = offset + code * step
      return Json{{"heightScale", style.heightScale}, {"offset", -10000.0}, {"step", 0.1}};
  }
  return nullptr;
}

}  // namespace

std::string TilePath(const TileAddress& tile) {
  return std::to_string(tile.level) + "/" + std::to_string(tile.x) + "/" + std::to_string(tile.y) +
         ".png";
}

std::string MetadataText(const PyramidPlan& plan) {
  const bool sphere = plan.grid.surface == Surface::kSphere;
  const PlaneBounds& plane = plan.grid.plane;
  Json bounds = sphere ? Json::array({-180.0, -90.0, 180.0, 90.0})
                       : Json::array({plane.x0, plane.z0, plane.x1, plane.z1});
  Json json{
      {"tilejson", "3.0.0"},
      {"name", plan.name},
      {"scheme", "xyz"},
      {"tiles", Json::array({"{z}/{x}/{y}.png"})},
      {"minzoom", plan.fromLevel},
      {"maxzoom", plan.toLevel},
      {"bounds", bounds},
      {"surface", sphere ? "sphere" : "plane"},
      {"tileSize", plan.tileSize},
      {"format", FormatName(plan.format)},
      {"style", StyleJson(plan)},
      {"graph", Json{{"sha256", plan.graphDigest}, {"output", plan.output}}},
      {"tileCount", TileCount(plan.grid, plan.fromLevel, plan.toLevel)},
  };
  return json.dump(2) + "\n";
}

}  // namespace noisebind::tiles
