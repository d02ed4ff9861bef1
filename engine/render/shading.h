// Light on a map seen as a height field, and its surface normals: what
// hill shading and normal maps are made of. Neighbours beyond an edge are
// the edge itself, or the opposite edge's when the map wraps (a seamless
// tile).
#ifndef NOISEBIND_RENDER_SHADING_H
#define NOISEBIND_RENDER_SHADING_H

#include <cstdint>
#include <limits>

#include "engine/maps/map_values.h"
#include "engine/render/gradient.h"

namespace noisebind::render {

// How a slope turns into light. kSurface lights the surface as a matte
// one, scaled so that flat ground keeps its colour whatever the light's
// elevation. kNoiseUtils is libnoise's noiseutils formula: flat ground
// gets sqrt(2)·sin(elevation)/2 of the light, slopes a part more in
// proportion to the differences between neighbours.
enum class LightFormula { kSurface, kNoiseUtils };

// A distant light. The azimuth is measured counterclockwise from east (0)
// through north (90, the top of the picture); the elevation from the
// horizon (0) to straight above (90). Scale (pixels per unit of the map's
// values) and contrast both multiply the height differences between
// neighbours; brightness the result. Values below `water` are lit as flat
// ground, and are the water's level for their neighbours.
struct Light {
  double azimuth = 45.0;
  double elevation = 45.0;
  double contrast = 1.0;
  double brightness = 1.0;
  double scale = 1.0;
  Colour colour{255.0, 255.0, 255.0, 255.0};
  double water = -std::numeric_limits<double>::infinity();
  LightFormula formula = LightFormula::kSurface;
};

// A map's width in the units of its values when the caller does not say:
// for kNoiseUtils, the scale this light had before the other formula, the
// map's larger side over 64.
constexpr double kDefaultLightExtent = 32.0;
constexpr double kNoiseUtilsLightExtent = 64.0;

// The scale of a map whose larger side spans `extent` units: its pixels per
// unit. A finer map of the same surface gets a larger scale, and so the
// same relief at any size.
double LightScale(std::uint32_t width, std::uint32_t height, double extent);

// The light's numeric settings by name, with their ranges: what scripts
// and the command line both accept. `scale`, `extent` and `model` are
// resolved together by ResolveLightScale.
struct LightSetting {
  const char* name;
  double Light::*member;
  double low;
  double high;
};
constexpr LightSetting kLightSettings[] = {
    {"azimuth", &Light::azimuth, -360.0, 360.0},
    {"elevation", &Light::elevation, 0.0, 90.0},
    {"contrast", &Light::contrast, 0.0, 1e6},
    {"brightness", &Light::brightness, 0.0, 1e6},
    {"water", &Light::water, -std::numeric_limits<double>::infinity(),
     std::numeric_limits<double>::infinity()},
};
// The ranges of the two ways to give the relief's scale.
constexpr double kLightScaleLow = 0.0, kLightScaleHigh = 1e6;
constexpr double kLightExtentLow = 1e-6, kLightExtentHigh = 1e12;
// The names of LightFormula's values, in its order, null-terminated.
constexpr const char* kLightModels[] = {"surface", "noiseutils", nullptr};

// Sets light->scale for a map of width x height from what the caller gave
// (NaN for not given): `scale` itself, or `extent`, or else the formula's
// default. Null, or why not (both given).
const char* ResolveLightScale(Light* light, std::uint32_t width, std::uint32_t height, double scale,
                              double extent);

// The values around one point of a map, and how many pixels apart the
// neighbours on each axis are: 2 inside and across wrapped edges, 1 at an
// edge that does not wrap (the edge is its own neighbour), 0 on a side of
// one pixel.
struct Neighbours {
  double centre;
  double left;
  double right;
  double up;    // the row above, towards the top of the picture
  double down;  // the row below
  double spanX = 2.0;
  double spanY = 2.0;
};

Neighbours NeighboursAt(const maps::MapView& map, std::uint32_t x, std::uint32_t y, bool wrap);

// The light's factors, worked out once per picture.
class LightModel {
 public:
  explicit LightModel(const Light& light);
  // From 0 up, times the brightness: 1 is flat ground in kSurface, and a
  // flat surface's light at an elevation of 90 degrees in kNoiseUtils.
  double Intensity(const Neighbours& around) const;

 private:
  double Surface(const Neighbours& around) const;
  double NoiseUtils(const Neighbours& around) const;

  LightFormula m_formula;
  double m_water;
  double m_brightness;
  // kSurface: the slope per difference, the light's direction and the
  // cotangent of its elevation.
  double m_slope;
  double m_towardsX;
  double m_towardsY;
  double m_cotangent;
  // kNoiseUtils: its ambient part and its factors on the differences.
  double m_ambient;
  double m_alongX;
  double m_alongY;
};

// The unit normal of the surface at a point, heights scaled by `bump`, as
// x (towards the right), y (towards the top) and z (out of the picture).
void SurfaceNormal(const Neighbours& around, double bump, double normal[3]);

}  // namespace noisebind::render

#endif  // NOISEBIND_RENDER_SHADING_H
