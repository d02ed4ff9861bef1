// What the map benchmarks share: comparing two maps as the batch paths
// promise them (the same bits, NaN for NaN) and the median of rounds.
#ifndef NOISEBIND_BENCH_MAP_FIGURES_H
#define NOISEBIND_BENCH_MAP_FIGURES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace noisebind::bench {

inline bool SameValues(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::isnan(a[i]) ? !std::isnan(b[i]) : std::memcmp(&a[i], &b[i], sizeof(double)) != 0) {
      return false;
    }
  }
  return true;
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

}  // namespace noisebind::bench

#endif  // NOISEBIND_BENCH_MAP_FIGURES_H
