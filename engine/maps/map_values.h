// The values of a map, and what can be done with them all at once.
#ifndef NOISEBIND_MAPS_MAP_VALUES_H
#define NOISEBIND_MAPS_MAP_VALUES_H

#include <cstddef>
#include <cstdint>

namespace noisebind::maps {

// Each side at most a million values, as images; at most 2^28 values in
// all (2 GiB of doubles), planes and volumes alike.
constexpr std::uint32_t kMaxMapSide = 1000000;
constexpr std::uint64_t kMaxMapValues = std::uint64_t{1} << 28;

// True when width x height x depth is within the limits above (each at
// least 1).
bool MapSizeAllowed(std::uint32_t width, std::uint32_t height, std::uint32_t depth = 1);

// The place of value (x, y, z): x runs fastest, then y, then z, the order of
// Luanti's flat 3D maps, so that a plane is a volume of depth 1.
inline std::size_t MapIndex(std::uint32_t width, std::uint32_t height, std::uint32_t x,
                            std::uint32_t y, std::uint32_t z) {
  return (std::size_t{z} * height + y) * width + x;
}

// A map's values: rows from the top, width values a row, then the next
// layer of height rows. Planes have depth 1.
struct MapView {
  std::uint32_t width;
  std::uint32_t height;
  const double* values;
  std::uint32_t depth = 1;

  std::size_t size() const { return std::size_t{width} * height * depth; }
  double at(std::uint32_t x, std::uint32_t y, std::uint32_t z = 0) const {
    return values[MapIndex(width, height, x, y, z)];
  }
};

// The lowest and highest value, NaN left aside; both NaN when every value is.
void ValueRange(const double* values, std::size_t count, double* lowest, double* highest);

// The same over the finite values only: the range a map is scaled by, so
// that an infinity does not squash every other value onto one end.
void FiniteRange(const double* values, std::size_t count, double* lowest, double* highest);

// Where `value` lies on [low, high] (finite, low < high), 0 at low and 1 at
// high, without overflow between finite numbers (scaled before subtracting
// when high - low would overflow); ±inf give ±inf, NaN gives NaN.
double FractionOf(double value, double low, double high);

// The point a fraction `t` (0 to 1) of the way from `low` to `high`
// (finite), exact at both ends, without overflow between finite numbers.
double Between(double low, double high, double t);

// Maps the finite range [lowest, highest] linearly onto [low, high]: +inf
// becomes `high`, -inf `low`; a map of one finite value becomes `low`. NaN
// stays NaN, here and in Clamp.
void Rescale(double* values, std::size_t count, double low, double high);

// Values below `low` become `low`, above `high` become `high`.
void Clamp(double* values, std::size_t count, double low, double high);

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_MAP_VALUES_H
