// libnoise's models (noise::model::Line, Plane, Sphere, Cylinder) over a
// node: the same arithmetic, bit for bit, with the value from the node's
// GetValues. The node must be Evaluable.
#ifndef NOISEBIND_OBJECTS_MODELS_H
#define NOISEBIND_OBJECTS_MODELS_H

#include "engine/graph/node.h"

namespace noisebind::objects {

// The value at start + p * (end - start); attenuated, scaled by 4p(1 - p).
double LineValue(const Node& node, double p, const double start[3], const double end[3],
                 bool attenuate);
// The value at (x, 0, z).
double PlaneValue(const Node& node, double x, double z);
// The value at latitude and longitude (degrees) on the unit sphere.
double SphereValue(const Node& node, double latitude, double longitude);
// The value at (cos angle, height, sin angle), angle in degrees.
double CylinderValue(const Node& node, double angle, double height);

}  // namespace noisebind::objects

#endif  // NOISEBIND_OBJECTS_MODELS_H
