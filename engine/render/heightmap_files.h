// Maps as heightmaps for terrain tools and hosts: 16-bit grey PNG and raw
// values (float32, float64, 16- and 8-bit levels), each encoded one way
// whether it goes to a file (written whole or not at all) or into memory.
#ifndef NOISEBIND_RENDER_HEIGHTMAP_FILES_H
#define NOISEBIND_RENDER_HEIGHTMAP_FILES_H

#include <cstddef>
#include <cstdint>

#include "engine/maps/map_values.h"

namespace noisebind::render {

// The level of `value` on a range from `low` (0) to `high` (`top`): scaled
// without overflow, rounded to the nearest (halves up) and clamped. +inf is
// `top`; -inf, NaN and every value of an empty range (high not above low)
// are 0.
std::uint32_t ScaledLevel(double value, double low, double high, std::uint32_t top);

// The 16-bit grey level, as savepng writes it.
inline std::uint16_t GreyLevel(double value, double low, double high) {
  return static_cast<std::uint16_t>(ScaledLevel(value, low, high, 65535));
}

// The value rounded to single precision, ±inf beyond its range, without
// the undefined conversion of a double beyond the float range.
float ToFloat(double value);

// Raw values, each least significant byte first, in the order the map
// keeps them (rows from the top, then layers), no header. The levels
// scale [low, high] as ScaledLevel does.
enum class RawFormat { kFloat32, kFloat64, kLevel16, kLevel8 };

struct RawEncoding {
  RawFormat format;
  double low;  // the levels' range; unused for floats
  double high;
};

std::size_t RawValueBytes(RawFormat format);

// Values [first, first + count) of the map into `out`, count times
// RawValueBytes bytes.
void EncodeRaw(const maps::MapView& map, const RawEncoding& encoding, std::size_t first,
               std::size_t count, unsigned char* out);

// Files: false on failure, with the reason in `reason` (always
// terminated), and the file at `path` untouched.
bool SaveGreyPng16(const maps::MapView& map, double low, double high, const char* path,
                   char* reason, std::size_t reasonSize);
bool SaveRaw(const maps::MapView& map, const RawEncoding& encoding, const char* path, char* reason,
             std::size_t reasonSize);

// The same bytes in memory: `*bytes` from std::malloc, for the caller to
// free. False on failure, with the reason, and nothing to free.
bool EncodeGreyPng16(const maps::MapView& map, double low, double high, char** bytes,
                     std::size_t* size, char* reason, std::size_t reasonSize);
bool EncodeRawBytes(const maps::MapView& map, const RawEncoding& encoding, char** bytes,
                    std::size_t* size, char* reason, std::size_t reasonSize);

}  // namespace noisebind::render

#endif  // NOISEBIND_RENDER_HEIGHTMAP_FILES_H
