// Light on a map seen as a height field, and its surface normals: what
// hill shading and normal maps are made of. Neighbours beyond an edge are
// the edge itself, or the opposite edge's when the map wraps (a seamless
// tile).
#ifndef NOISEBIND_RENDER_SHADING_H
#define NOISEBIND_RENDER_SHADING_H

#include <cstdint>

#include "maps/map_values.h"
#include "render/gradient.h"

namespace noisebind::render {

// A distant light. The azimuth is measured counterclockwise from east (0)
// through north (90, the top of the picture); the elevation from the
// horizon (0) to straight above (90). Scale and contrast both multiply the
// height differences between neighbours; brightness the result.
struct Light {
  double azimuth = 45.0;
  double elevation = 45.0;
  double contrast = 1.0;
  double brightness = 1.0;
  double scale = 1.0;
  Colour colour{255.0, 255.0, 255.0, 255.0};
};

// The light's numeric settings by name, with their ranges: what scripts
// and the command line both accept.
struct LightSetting {
  const char* name;
  double Light::*member;
  double low;
  double high;
};
constexpr LightSetting kLightSettings[] = {
    {"azimuth", &Light::azimuth, -360.0, 360.0}, {"elevation", &Light::elevation, 0.0, 90.0},
    {"contrast", &Light::contrast, 0.0, 1e6},    {"brightness", &Light::brightness, 0.0, 1e6},
    {"scale", &Light::scale, 0.0, 1e6},
};

// The default scale for a map: its larger side over 64. Neighbours of a
// finer map differ by less for the same surface; scaled so, a surface gets
// the same relief at any size, as if seen 64 pixels across.
double DefaultLightScale(std::uint32_t width, std::uint32_t height);

// The values around one point of a map.
struct Neighbours {
  double centre;
  double left;
  double right;
  double up;    // the row above, towards the top of the picture
  double down;  // the row below
};

Neighbours NeighboursAt(const maps::MapView& map, std::uint32_t x, std::uint32_t y, bool wrap);

// The light's factors, worked out once per picture.
class LightModel {
 public:
  explicit LightModel(const Light& light);
  // From 0 up: 1 is a flat surface's light at an elevation of 90 degrees.
  double Intensity(const Neighbours& around) const;

 private:
  double m_ambient;
  double m_alongX;
  double m_alongY;
  double m_brightness;
};

// The unit normal of the surface at a point, heights scaled by `bump`, as
// x (towards the right), y (towards the top) and z (out of the picture).
void SurfaceNormal(const Neighbours& around, double bump, double normal[3]);

}  // namespace noisebind::render

#endif  // NOISEBIND_RENDER_SHADING_H
