#include "engine/maps/map_values.h"

#include <limits>

namespace noisebind::maps {

bool MapSizeAllowed(std::uint32_t width, std::uint32_t height, std::uint32_t depth) {
  // Each factor is at most 2^20, so the product cannot wrap in 64 bits.
  return width >= 1 && height >= 1 && depth >= 1 && width <= kMaxMapSide && height <= kMaxMapSide &&
         depth <= kMaxMapSide && std::uint64_t{width} * height * depth <= kMaxMapValues;
}

namespace {

// The lowest and highest of the values `keep` accepts; both NaN when none.
template <typename Keep>
void RangeOf(const double* values, std::size_t count, Keep keep, double* lowest, double* highest) {
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  bool any = false;
  for (std::size_t i = 0; i < count; ++i) {
    const double v = values[i];
    if (!keep(v)) continue;
    any = true;
    if (v < low) low = v;
    if (v > high) high = v;
  }
  if (!any) low = high = std::numeric_limits<double>::quiet_NaN();
  *lowest = low;
  *highest = high;
}

}  // namespace

void ValueRange(const double* values, std::size_t count, double* lowest, double* highest) {
  RangeOf(
      values, count, [](double v) { return v == v; }, lowest, highest);
}

void FiniteRange(const double* values, std::size_t count, double* lowest, double* highest) {
  RangeOf(
      values, count, [](double v) { return v - v == 0.0; }, lowest, highest);
}

double FractionOf(double value, double low, double high) {
  const double span = high - low;
  if (span - span == 0.0) return (value - low) / span;
  // Only numbers beyond half the double range get here, so halving them is
  // exact, and neither difference of halves can overflow.
  return (value * 0.5 - low * 0.5) / (high * 0.5 - low * 0.5);
}

double Between(double low, double high, double t) {
  const double span = high - low;
  if (span - span == 0.0) return low + t * span;
  // Ends of opposite signs: each term is at most its end, and so is the sum.
  return low * (1.0 - t) + high * t;
}

void Rescale(double* values, std::size_t count, double low, double high) {
  double lowest = 0.0;
  double highest = 0.0;
  FiniteRange(values, count, &lowest, &highest);
  const bool spread = highest > lowest;
  for (std::size_t i = 0; i < count; ++i) {
    const double v = values[i];
    if (v != v) continue;
    if (v == std::numeric_limits<double>::infinity()) {
      values[i] = high;
    } else if (v == -std::numeric_limits<double>::infinity() || !spread) {
      values[i] = low;
    } else {
      values[i] = Between(low, high, FractionOf(v, lowest, highest));
    }
  }
}

void Clamp(double* values, std::size_t count, double low, double high) {
  for (std::size_t i = 0; i < count; ++i) {
    if (values[i] < low) values[i] = low;
    if (values[i] > high) values[i] = high;
  }
}

}  // namespace noisebind::maps
