// A replacement operator new that can refuse large allocations, for tests
// of what code does when memory runs out.
#ifndef NOISEBIND_TESTS_OBJECTS_REFUSE_LARGE_H
#define NOISEBIND_TESTS_OBJECTS_REFUSE_LARGE_H

#include <cstddef>

namespace noisebind::testing {

// While it lives, allocations of at least `size` bytes throw std::bad_alloc
// once `allowed` more of them have succeeded (-1: never). One at a time.
class RefuseLarge {
 public:
  RefuseLarge(std::size_t size, long allowed);
  ~RefuseLarge();
  RefuseLarge(const RefuseLarge&) = delete;
  RefuseLarge& operator=(const RefuseLarge&) = delete;
};

}  // namespace noisebind::testing

#endif  // NOISEBIND_TESTS_OBJECTS_REFUSE_LARGE_H
