// Maps of a point source over a regular grid: a plane, a sphere
// (equirectangular) or a cylinder, as libnoise's models map their inputs to
// points.
#ifndef NOISEBIND_MAPS_MAP_BUILDER_H
#define NOISEBIND_MAPS_MAP_BUILDER_H

#include <cstdint>
#include <string>

#include "maps/parallel_rows.h"
#include "maps/point_source.h"

namespace noisebind::maps {

enum class Projection {
  kPlane,     // column: x, row: z, at y = 0
  kSphere,    // column: longitude, row: latitude, in degrees
  kCylinder,  // column: angle in degrees, row: height
};

// Column i samples columnFrom + i * (columnTo - columnFrom) / width, row j
// rowFrom + j * (rowTo - rowFrom) / height, in that double arithmetic: the
// upper bounds are excluded, so that maps of adjacent bounds join.
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
};

// Points evaluated per call of the source.
constexpr std::uint32_t kBlockSize = 256;

// The coordinate of step `index` of `count` from `from` towards `to`.
inline double GridCoordinate(double from, double to, std::uint32_t index, std::uint32_t count) {
  return from + index * (to - from) / count;
}

// Fills `values` (width * height, row after row) with the source's values.
// Never throws; false, with the reason in `error`, when a point fails.
bool BuildMap(const PointSource& source, const MapRequest& request, const RunOptions& run,
              double* values, std::string* error);

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_MAP_BUILDER_H
