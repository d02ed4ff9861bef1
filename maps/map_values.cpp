#include "maps/map_values.h"

#include <limits>

namespace noisebind::maps {

bool MapSizeAllowed(std::uint32_t width, std::uint32_t height, std::uint32_t depth) {
  // Each factor is at most 2^20, so the product cannot wrap in 64 bits.
  return width >= 1 && height >= 1 && depth >= 1 && width <= kMaxMapSide && height <= kMaxMapSide &&
         depth <= kMaxMapSide && std::uint64_t{width} * height * depth <= kMaxMapValues;
}

void ValueRange(const double* values, std::size_t count, double* lowest, double* highest) {
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  bool any = false;
  for (std::size_t i = 0; i < count; ++i) {
    const double v = values[i];
    if (v != v) continue;
    any = true;
    if (v < low) low = v;
    if (v > high) high = v;
  }
  if (!any) low = high = std::numeric_limits<double>::quiet_NaN();
  *lowest = low;
  *highest = high;
}

void Rescale(double* values, std::size_t count, double low, double high) {
  double lowest = 0.0;
  double highest = 0.0;
  ValueRange(values, count, &lowest, &highest);
  const double span = highest - lowest;
  for (std::size_t i = 0; i < count; ++i) {
    if (values[i] != values[i]) continue;
    values[i] = span > 0.0 ? low + (values[i] - lowest) / span * (high - low) : low;
  }
}

void Clamp(double* values, std::size_t count, double low, double high) {
  for (std::size_t i = 0; i < count; ++i) {
    if (values[i] < low) values[i] = low;
    if (values[i] > high) values[i] = high;
  }
}

}  // namespace noisebind::maps
