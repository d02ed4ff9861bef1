// The points every variant of a benchmark evaluates: one array per argument,
// filled from a fixed seed so that every run sees the same numbers.
#ifndef NOISEBIND_BENCH_POINTS_H
#define NOISEBIND_BENCH_POINTS_H

#include <cstddef>
#include <vector>

namespace bench {

constexpr int kMaxArgs = 7;

struct Range {
  double low;
  double high;
};

struct Points {
  std::size_t count = 0;
  std::vector<double> args[kMaxArgs];
};

// `count` points whose argument k lies within ranges[k], for `arity` arguments.
Points MakePoints(std::size_t count, int arity, const Range* ranges, unsigned seed);

}  // namespace bench

#endif  // NOISEBIND_BENCH_POINTS_H
