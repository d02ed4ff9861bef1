#include "engine/graph/models.h"

#include <libnoise/latlon.h>
#include <libnoise/mathconsts.h>

#include <cmath>

namespace noisebind::objects {
namespace {

double ValueAt(const Node& node, double x, double y, double z) {
  double value = 0.0;
  node.GetValues(&x, &y, &z, 1, &value);
  return value;
}

}  // namespace

double LineValue(const Node& node, double p, const double start[3], const double end[3],
                 bool attenuate) {
  const double x = (end[0] - start[0]) * p + start[0];
  const double y = (end[1] - start[1]) * p + start[1];
  const double z = (end[2] - start[2]) * p + start[2];
  const double value = ValueAt(node, x, y, z);
  return attenuate ? p * (1.0 - p) * 4 * value : value;
}

double PlaneValue(const Node& node, double x, double z) {
  return ValueAt(node, x, 0.0, z);
}

double SphereValue(const Node& node, double latitude, double longitude) {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  noise::LatLonToXYZ(latitude, longitude, x, y, z);
  return ValueAt(node, x, y, z);
}

double CylinderValue(const Node& node, double angle, double height) {
  const double x = std::cos(angle * noise::DEG_TO_RAD);
  const double z = std::sin(angle * noise::DEG_TO_RAD);
  return ValueAt(node, x, height, z);
}

}  // namespace noisebind::objects
