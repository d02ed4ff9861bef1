#include "engine/maps/map_bounds.h"

#include <cmath>

namespace noisebind::maps {
namespace {

constexpr BoundsShape kPlane{
    "bounds {x0, x1, z0, z1}", false, {{"x0", "x1"}, {"z0", "z1"}}, {0, 0}, false};
constexpr BoundsShape kSphere{"bounds {south, north, west, east}",
                              true,
                              {{"south", "north"}, {"west", "east"}},
                              {90, 180},
                              true};
constexpr BoundsShape kCylinder{"bounds {angle0, angle1, height0, height1}",
                                false,
                                {{"angle0", "angle1"}, {"height0", "height1"}},
                                {0, 0},
                                true};

}  // namespace

const BoundsShape& ShapeOf(Projection projection) {
  switch (projection) {
    case Projection::kSphere:
      return kSphere;
    case Projection::kCylinder:
      return kCylinder;
    case Projection::kPlane:
      break;
  }
  return kPlane;
}

SpanFault CheckSpan(double from, double to, double limit) {
  if (!(from < to)) return SpanFault::kReversed;
  if (to - from == HUGE_VAL) return SpanFault::kInfinite;
  if (limit > 0 && (from < -limit || to > limit)) return SpanFault::kOutside;
  return SpanFault::kNone;
}

SpanFault SetBounds(Projection projection, const double bounds[4], MapRequest* request, int* pair) {
  const BoundsShape& shape = ShapeOf(projection);
  for (int p = 0; p < 2; ++p) {
    const SpanFault fault = CheckSpan(bounds[2 * p], bounds[2 * p + 1], shape.limits[p]);
    if (fault != SpanFault::kNone) {
      *pair = p;
      return fault;
    }
  }
  const int columns = shape.rowsFirst ? 2 : 0;
  const int rows = shape.rowsFirst ? 0 : 2;
  request->projection = projection;
  request->columnFrom = bounds[columns];
  request->columnTo = bounds[columns + 1];
  request->rowFrom = bounds[rows];
  request->rowTo = bounds[rows + 1];
  request->flip = shape.upperFirst;
  return SpanFault::kNone;
}

}  // namespace noisebind::maps
