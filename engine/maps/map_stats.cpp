#include "engine/maps/map_stats.h"

#include <cmath>
#include <limits>

#include "engine/maps/map_values.h"

namespace noisebind::maps {

std::uint32_t BinOf(double value, double lowest, double highest, std::uint32_t bins) {
  if (!(highest > lowest)) return 0;
  const double scaled = FractionOf(value, lowest, highest) * bins;
  // Tested before converting: the conversion of NaN or of a double beyond
  // the integers is undefined.
  if (!(scaled > 0.0)) return 0;
  if (scaled >= bins) return bins - 1;
  return static_cast<std::uint32_t>(scaled);
}

MapStats ComputeStats(const double* values, std::size_t count, std::uint32_t bins,
                      std::size_t* histogram) {
  MapStats stats;
  stats.count = count;
  for (std::uint32_t bin = 0; bin < bins; ++bin) histogram[bin] = 0;
  FiniteRange(values, count, &stats.lowest, &stats.highest);
  std::size_t finite = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const double value = values[i];
    if (value != value) {
      ++stats.nan;
    } else if (value - value != 0.0) {
      ++stats.infinite;
    } else {
      ++finite;
    }
  }
  if (finite == 0) {
    stats.mean = std::numeric_limits<double>::quiet_NaN();
    return stats;
  }
  // Neumaier's summation of value / finite: each term at most the largest
  // double over the count, so the sum stays finite.
  const double divisor = static_cast<double>(finite);
  double sum = 0.0;
  double carried = 0.0;
  for (std::size_t i = 0; i < count; ++i) {
    const double value = values[i];
    if (value - value != 0.0) continue;
    const double term = value / divisor;
    const double next = sum + term;
    carried += std::fabs(sum) >= std::fabs(term) ? (sum - next) + term : (term - next) + sum;
    sum = next;
    ++histogram[BinOf(value, stats.lowest, stats.highest, bins)];
  }
  stats.mean = sum + carried;
  return stats;
}

}  // namespace noisebind::maps
