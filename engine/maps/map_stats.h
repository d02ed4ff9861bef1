// The figures of a map's values that Select bounds, scales and thresholds
// are tuned from: how many, the finite range, the mean and a histogram.
#ifndef NOISEBIND_MAPS_MAP_STATS_H
#define NOISEBIND_MAPS_MAP_STATS_H

#include <cstddef>
#include <cstdint>

namespace noisebind::maps {

constexpr std::uint32_t kMaxStatsBins = 10000;

struct MapStats {
  std::size_t count = 0;     // every value
  std::size_t nan = 0;       // NaN values
  std::size_t infinite = 0;  // ±inf values
  // Over the finite values; NaN when there is none.
  double lowest = 0.0;
  double highest = 0.0;
  double mean = 0.0;
};

// The figures of `count` values, and into `histogram` (`bins` counts, 1
// to kMaxStatsBins) the finite values in `bins` equal parts of [lowest,
// highest], the last part closed (a map of one finite value has them all
// in the first). The mean sums value / count in order with the rounding
// error carried, so that it cannot overflow and is the same on every
// machine.
MapStats ComputeStats(const double* values, std::size_t count, std::uint32_t bins,
                      std::size_t* histogram);

// The histogram part of a value of [lowest, highest] (finite).
std::uint32_t BinOf(double value, double lowest, double highest, std::uint32_t bins);

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_MAP_STATS_H
