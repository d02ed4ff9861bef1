// The values of a map, and what can be done with them all at once.
#ifndef NOISEBIND_MAPS_MAP_VALUES_H
#define NOISEBIND_MAPS_MAP_VALUES_H

#include <cstddef>
#include <cstdint>

namespace noisebind::maps {

// Each side at most a million values, as images; at most 2^28 values in
// all (2 GiB of doubles).
constexpr std::uint32_t kMaxMapSide = 1000000;
constexpr std::uint64_t kMaxMapValues = std::uint64_t{1} << 28;

// True when width x height is within the limits above (both at least 1).
bool MapSizeAllowed(std::uint32_t width, std::uint32_t height);

// A map's values, row after row from the top, width values a row.
struct MapView {
  std::uint32_t width;
  std::uint32_t height;
  const double* values;

  std::size_t size() const { return std::size_t{width} * height; }
  double at(std::uint32_t x, std::uint32_t y) const { return values[std::size_t{y} * width + x]; }
};

// The lowest and highest value, NaN left aside; both NaN when every value is.
void ValueRange(const double* values, std::size_t count, double* lowest, double* highest);

// Maps the range [lowest, highest] linearly onto [low, high]; a map of one
// value becomes `low`. NaN stays NaN, here and in Clamp.
void Rescale(double* values, std::size_t count, double low, double high);

// Values below `low` become `low`, above `high` become `high`.
void Clamp(double* values, std::size_t count, double low, double high);

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_MAP_VALUES_H
