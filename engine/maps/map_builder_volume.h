// Volumes of a point source: a box sampled on a regular lattice, value
// (i, j, k) at the i-th x, j-th y and k-th z, stored x fastest, then y, then
// z (MapIndex), as Luanti's flat 3D noise maps are.
#ifndef NOISEBIND_MAPS_MAP_BUILDER_VOLUME_H
#define NOISEBIND_MAPS_MAP_BUILDER_VOLUME_H

#include <cstdint>
#include <string>

#include "engine/maps/parallel_rows.h"
#include "engine/maps/point_source.h"

namespace noisebind::maps {

// Axis a (x, y, z) runs from from[a] towards to[a] in size[a] steps, sample
// i at SampleAt(from, to - from, i, size): the upper bounds excluded, as for
// plane maps. Spans finite.
struct VolumeRequest {
  double from[3] = {0.0, 0.0, 0.0};
  double to[3] = {1.0, 1.0, 1.0};
  std::uint32_t size[3] = {1, 1, 1};
};

// Fills `values` (size[0] * size[1] * size[2]) with the source's values, a
// row of x at a time. Never throws; false, with the reason in `error`, when
// a point fails.
bool BuildVolume(const PointSource& source, const VolumeRequest& request, const RunOptions& run,
                 double* values, std::string* error);

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_MAP_BUILDER_VOLUME_H
