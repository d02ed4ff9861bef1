#include "engine/render/shading.h"

#include <cmath>

namespace noisebind::render {
namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180.0;

std::uint32_t Before(std::uint32_t i, std::uint32_t size, bool wrap) {
  if (i > 0) return i - 1;
  return wrap ? size - 1 : 0;
}

std::uint32_t After(std::uint32_t i, std::uint32_t size, bool wrap) {
  if (i + 1 < size) return i + 1;
  return wrap ? 0 : i;
}

// How many pixels apart the neighbours of i are.
double Span(std::uint32_t i, std::uint32_t size, bool wrap) {
  if (wrap) return 2.0;
  return static_cast<double>(After(i, size, false) - Before(i, size, false));
}

double Above(double value, double level) {
  return value < level ? level : value;
}

}  // namespace

Neighbours NeighboursAt(const maps::MapView& map, std::uint32_t x, std::uint32_t y, bool wrap) {
  return Neighbours{map.at(x, y),
                    map.at(Before(x, map.width, wrap), y),
                    map.at(After(x, map.width, wrap), y),
                    map.at(x, Before(y, map.height, wrap)),
                    map.at(x, After(y, map.height, wrap)),
                    Span(x, map.width, wrap),
                    Span(y, map.height, wrap)};
}

double LightScale(std::uint32_t width, std::uint32_t height, double extent) {
  return (width > height ? width : height) / extent;
}

const char* ResolveLightScale(Light* light, std::uint32_t width, std::uint32_t height, double scale,
                              double extent) {
  const bool scaleGiven = scale == scale, extentGiven = extent == extent;
  if (scaleGiven && extentGiven) return "'extent' and 'scale' say the same: give one";
  if (scaleGiven) {
    light->scale = scale;
  } else {
    const bool noiseUtils = light->formula == LightFormula::kNoiseUtils;
    light->scale = LightScale(width, height,
                              extentGiven  ? extent
                              : noiseUtils ? kNoiseUtilsLightExtent
                                           : kDefaultLightExtent);
  }
  return nullptr;
}

LightModel::LightModel(const Light& light)
    : m_formula(light.formula), m_water(light.water), m_brightness(light.brightness) {
  const double sinElevation = std::sin(light.elevation * kDegrees);
  const double cosElevation = std::cos(light.elevation * kDegrees);
  m_slope = light.contrast * light.scale;
  m_towardsX = std::cos(light.azimuth * kDegrees);
  m_towardsY = std::sin(light.azimuth * kDegrees);
  m_cotangent =
      sinElevation > 0.0 ? cosElevation / sinElevation : std::numeric_limits<double>::infinity();
  m_ambient = std::sqrt(2.0) * sinElevation / 2.0;
  const double directional =
      (1.0 - m_ambient) * light.contrast * light.scale * std::sqrt(2.0) * cosElevation;
  m_alongX = directional * m_towardsX;
  m_alongY = directional * m_towardsY;
}

double LightModel::Intensity(const Neighbours& around) const {
  Neighbours ground = around;
  // Water is flat, and its level is the shore's neighbour.
  if (ground.centre < m_water) ground.left = ground.right = ground.up = ground.down = m_water;
  ground.left = Above(ground.left, m_water);
  ground.right = Above(ground.right, m_water);
  ground.up = Above(ground.up, m_water);
  ground.down = Above(ground.down, m_water);
  const double intensity =
      m_formula == LightFormula::kSurface ? Surface(ground) : NoiseUtils(ground);
  return intensity > 0.0 ? intensity * m_brightness : 0.0;
}

// A matte surface's light, n·l, over flat ground's, sin(elevation). The
// slopes are divided by the steepest before squaring, so that steep cliffs
// do not overflow.
double LightModel::Surface(const Neighbours& around) const {
  const double alongX =
      around.spanX > 0.0 ? m_slope * (around.right - around.left) / around.spanX : 0.0;
  const double alongY =
      around.spanY > 0.0 ? m_slope * (around.up - around.down) / around.spanY : 0.0;
  double steepest = std::fabs(alongX) > std::fabs(alongY) ? std::fabs(alongX) : std::fabs(alongY);
  if (!(steepest > 1.0)) steepest = 1.0;
  const double up = 1.0 / steepest;
  const double x = alongX / steepest;
  const double y = alongY / steepest;
  // Rising towards the east faces west: lit by a light at azimuth 180.
  const double facing = -(x * m_towardsX + y * m_towardsY);
  const double lit = facing == 0.0 ? up : up + facing * m_cotangent;
  return lit / std::sqrt(up * up + x * x + y * y);
}

// Rising towards the west faces east: lit by a light at azimuth 0.
double LightModel::NoiseUtils(const Neighbours& around) const {
  return m_alongX * (around.left - around.right) + m_alongY * (around.down - around.up) + m_ambient;
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
