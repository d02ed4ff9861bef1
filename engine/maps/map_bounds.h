// The bounds of the plane, sphere and cylinder builders: four numbers, two
// increasing pairs, read in each projection's order. Shared by the script
// functions and the command line, each of which words its own messages.
#ifndef NOISEBIND_MAPS_MAP_BOUNDS_H
#define NOISEBIND_MAPS_MAP_BOUNDS_H

#include "engine/maps/map_builder.h"

namespace noisebind::maps {

struct BoundsShape {
  const char* shape;  // e.g. "bounds {south, north, west, east}"
  // Whether the rows' pair comes first (latitudes before longitudes).
  bool rowsFirst;
  const char* pairNames[2][2];
  double limits[2];  // of each pair, in their order: within ±limit; 0: any finite
  // Whether the rows' upper bound is at the top of a picture unless the
  // map is flipped (north up, as a map is read).
  bool upperFirst;
};

const BoundsShape& ShapeOf(Projection projection);

enum class SpanFault {
  kNone,
  kReversed,  // from not below to
  kInfinite,  // to - from overflows
  kOutside,   // beyond ±limit
};

// A pair of bounds: increasing, with a finite span (the samples lie
// between them), within ±limit unless limit is 0.
SpanFault CheckSpan(double from, double to, double limit);

// Checks `bounds` in the shape's order and stores them into the request's
// columns and rows, and its flip as the shape wants it. kNone, or the
// first fault with its pair (0 or 1) in `pair`; the request is then
// unchanged.
SpanFault SetBounds(Projection projection, const double bounds[4], MapRequest* request, int* pair);

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_MAP_BOUNDS_H
