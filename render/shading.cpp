#include "render/shading.h"

#include <cmath>

namespace noisebind::render {
namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180.0;
constexpr double kLightSide = 64.0;

std::uint32_t Before(std::uint32_t i, std::uint32_t size, bool wrap) {
  if (i > 0) return i - 1;
  return wrap ? size - 1 : 0;
}

std::uint32_t After(std::uint32_t i, std::uint32_t size, bool wrap) {
  if (i + 1 < size) return i + 1;
  return wrap ? 0 : i;
}

}  // namespace

Neighbours NeighboursAt(const maps::MapView& map, std::uint32_t x, std::uint32_t y, bool wrap) {
  return Neighbours{map.at(x, y), map.at(Before(x, map.width, wrap), y),
                    map.at(After(x, map.width, wrap), y), map.at(x, Before(y, map.height, wrap)),
                    map.at(x, After(y, map.height, wrap))};
}

double DefaultLightScale(std::uint32_t width, std::uint32_t height) {
  return (width > height ? width : height) / kLightSide;
}

// A flat surface gets the ambient part; a slope facing the light gets up to
// the directional part more, in proportion to its steepness and contrast.
LightModel::LightModel(const Light& light) : m_brightness(light.brightness) {
  const double sinElevation = std::sin(light.elevation * kDegrees);
  const double cosElevation = std::cos(light.elevation * kDegrees);
  m_ambient = std::sqrt(2.0) * sinElevation / 2.0;
  const double directional =
      (1.0 - m_ambient) * light.contrast * light.scale * std::sqrt(2.0) * cosElevation;
  m_alongX = directional * std::cos(light.azimuth * kDegrees);
  m_alongY = directional * std::sin(light.azimuth * kDegrees);
}

double LightModel::Intensity(const Neighbours& around) const {
  // Rising towards the west faces east: lit by a light at azimuth 0.
  const double intensity =
      m_alongX * (around.left - around.right) + m_alongY * (around.down - around.up) + m_ambient;
  return intensity > 0.0 ? intensity * m_brightness : 0.0;
}

void SurfaceNormal(const Neighbours& around, double bump, double normal[3]) {
  const double alongX = (around.centre - around.right) * bump;
  const double alongY = (around.centre - around.up) * bump;
  const double length = std::sqrt(alongX * alongX + alongY * alongY + 1.0);
  normal[0] = alongX / length;
  normal[1] = alongY / length;
  normal[2] = 1.0 / length;
}

}  // namespace noisebind::render
