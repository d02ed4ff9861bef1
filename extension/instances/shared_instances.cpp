#include "instances/shared_instances.h"

#include "instances/lifetime_trace.h"

#ifdef NOISEBIND_TRACE_LIFETIME
#include <unistd.h>

#include <cstring>
#endif

namespace noisebind {

#ifdef NOISEBIND_TRACE_LIFETIME
void TraceLifetime(const char* event, const char* name) {
  char line[96] = "noisebind: ";
  std::strncat(line, event, 20);
  std::strncat(line, " ", 2);
  std::strncat(line, name, 40);
  std::strncat(line, "\n", 2);
  const ssize_t written = write(2, line, std::strlen(line));
  (void)written;
}
#endif

// Definitions in one file are initialised in the order they appear, and
// each destruction is registered right after its construction.
#define NOISEBIND_MODEL(member, type, name)  \
  SharedModel<type> SharedInstances::member; \
  [[maybe_unused]] const ConstructionMark member##Mark(name)
#define NOISEBIND_MODULE(member, type, name) \
  type SharedInstances::member;              \
  [[maybe_unused]] const LifetimeMark member##Mark(name)

NOISEBIND_MODEL(line, noise::model::Line, "Line");
NOISEBIND_MODEL(plane, noise::model::Plane, "Plane");
NOISEBIND_MODEL(sphere, noise::model::Sphere, "Sphere");
NOISEBIND_MODEL(cylinder, noise::model::Cylinder, "Cylinder");

NOISEBIND_MODULE(billow, noise::module::Billow, "Billow");
NOISEBIND_MODULE(checkerboard, noise::module::Checkerboard, "Checkerboard");
NOISEBIND_MODULE(curve, DirectCurve, "Curve");
NOISEBIND_MODULE(cylinders, noise::module::Cylinders, "Cylinders");
NOISEBIND_MODULE(exponent, DirectExponent, "Exponent");
NOISEBIND_MODULE(perlin, noise::module::Perlin, "Perlin");
NOISEBIND_MODULE(ridgedMulti, noise::module::RidgedMulti, "RidgedMulti");
NOISEBIND_MODULE(spheres, noise::module::Spheres, "Spheres");
NOISEBIND_MODULE(terrace, DirectTerrace, "Terrace");
NOISEBIND_MODULE(turbulence, DirectTurbulence, "Turbulence");
NOISEBIND_MODULE(voronoi, noise::module::Voronoi, "Voronoi");

}  // namespace noisebind
