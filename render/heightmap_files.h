// Maps saved as heightmaps for terrain tools: 16-bit grey PNG and raw
// little-endian float32, each written whole or not at all.
#ifndef NOISEBIND_RENDER_HEIGHTMAP_FILES_H
#define NOISEBIND_RENDER_HEIGHTMAP_FILES_H

#include <cstddef>
#include <cstdint>

#include "maps/map_values.h"

namespace noisebind::render {

// The grey level of `value` on a range from `low` (0) to `high` (65535),
// rounded to the nearest, clamped; NaN and an empty range give 0.
std::uint16_t GreyLevel(double value, double low, double high);

// A 16-bit grey PNG of the map's size, values scaled as GreyLevel does.
// False on failure, with the reason in `reason` (always terminated), and
// the file at `path` untouched.
bool SaveGreyPng16(const maps::MapView& map, double low, double high, const char* path,
                   char* reason, std::size_t reasonSize);

// The values as single-precision floats (rounded to the nearest), 4 bytes
// each, least significant first, row after row from the top.
bool SaveFloat32(const maps::MapView& map, const char* path, char* reason, std::size_t reasonSize);

}  // namespace noisebind::render

#endif  // NOISEBIND_RENDER_HEIGHTMAP_FILES_H
