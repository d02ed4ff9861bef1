// Maps of a point source over a regular grid: a plane, a sphere
// (equirectangular) or a cylinder, as libnoise's models map their inputs to
// points.
#ifndef NOISEBIND_MAPS_MAP_BUILDER_H
#define NOISEBIND_MAPS_MAP_BUILDER_H

#include <cstdint>
#include <string>

#include "engine/maps/parallel_rows.h"
#include "engine/maps/point_source.h"

namespace noisebind::maps {

enum class Projection {
  kPlane,     // column: x, row: z, at y = 0
  kSphere,    // column: longitude, row: latitude, in degrees
  kCylinder,  // column: angle in degrees, row: height
};

// Where the samples along each axis lie.
enum class Positions {
  // Sample i at from + i * (to - from) / count (SampleAt): the upper bounds
  // are excluded, so that maps of adjacent bounds join.
  kIndex,
  // As noiseutils' NoiseMapBuilderPlane, Sphere and Cylinder place them: the
  // step (to - from) / count added once per sample, rounding as it goes, so
  // that ported libnoise programs give libnoise's maps.
  kNoiseUtils,
};

// Columns run from columnFrom towards columnTo, rows from rowFrom towards
// rowTo, each axis divided into width or height steps; both spans finite.
struct MapRequest {
  Projection projection = Projection::kPlane;
  double columnFrom = 0.0;
  double columnTo = 1.0;
  double rowFrom = 0.0;
  double rowTo = 1.0;
  std::uint32_t width = 1;
  std::uint32_t height = 1;
  // Planes only: each value blends the samples at its point and one extent
  // further along each axis, weighted so that the map tiles.
  bool seamless = false;
  // Rows stored from the last to the first (row j of the grid in row
  // height - 1 - j), so that the upper bound of the rows is at the top.
  bool flip = false;
  Positions positions = Positions::kIndex;
};

// Points evaluated per call of the source.
constexpr std::uint32_t kBlockSize = 256;

// from + index * span / divisor in doubles, as a script writes it, for a
// finite span; index 0 gives `from` itself. Where index * span alone would
// overflow (spans near the largest double), from + index * (span / divisor).
inline double SampleAt(double from, double span, std::uint32_t index, std::uint32_t divisor) {
  if (index == 0) return from;
  const double scaled = index * span;
  if (scaled - scaled == 0.0) return from + scaled / divisor;
  return from + index * (span / divisor);
}

// The coordinate of step `index` of `count` from `from` towards `to`.
inline double GridCoordinate(double from, double to, std::uint32_t index, std::uint32_t count) {
  return SampleAt(from, to - from, index, count);
}

// Fills `values` (width * height, row after row) with the source's values.
// Never throws; false, with the reason in `error`, when a point fails.
bool BuildMap(const PointSource& source, const MapRequest& request, const RunOptions& run,
              double* values, std::string* error);

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_MAP_BUILDER_H
