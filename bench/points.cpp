#include "points.h"

#include <cstdint>

namespace bench {
namespace {

// splitmix64: small, fast and the same everywhere.
std::uint64_t Next(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9e3779b97f4a7c15ull);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return z ^ (z >> 31);
}

double Unit(std::uint64_t& state) {
  return static_cast<double>(Next(state) >> 11) * (1.0 / 9007199254740992.0);
}

}  // namespace

Points MakePoints(std::size_t count, int arity, const Range* ranges, unsigned seed) {
  Points points;
  points.count = count;
  std::uint64_t state = seed;
  for (int k = 0; k < arity; ++k) {
    points.args[k].resize(count);
    for (double& value : points.args[k]) {
      value = ranges[k].low + (ranges[k].high - ranges[k].low) * Unit(state);
    }
  }
  return points;
}

}  // namespace bench
