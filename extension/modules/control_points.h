// Index arithmetic shared by the control-point modules.
#ifndef NOISEBIND_MODULES_CONTROL_POINTS_H
#define NOISEBIND_MODULES_CONTROL_POINTS_H

#include <algorithm>
#include <climits>
#include <memory>
#include <new>

namespace noisebind {

// `index + offset` clamped to 0 .. count - 1, for 0 <= index <= count and a
// small offset, without overflow.
inline int ClampedIndex(int index, int offset, int count) {
  const long long shifted = static_cast<long long>(index) + offset;
  if (shifted < 0) return 0;
  if (shifted > count - 1) return count - 1;
  return static_cast<int>(shifted);
}

// A copy of `points` with one free slot at `position`; the original is left
// alone, so that a failure changes nothing.
template <class Point>
std::unique_ptr<Point[]> WithGapAt(const Point* points, int count, int position) {
  if (count == INT_MAX) throw std::bad_alloc();
  auto grown = std::make_unique<Point[]>(static_cast<size_t>(count) + 1);
  std::copy(points, points + position, grown.get());
  std::copy(points + position, points + count, grown.get() + position + 1);
  return grown;
}

}  // namespace noisebind

#endif  // NOISEBIND_MODULES_CONTROL_POINTS_H
