// Counts the heap allocations the whole process makes while a window is
// open: operator new in every form, and malloc, calloc and realloc where
// the build lets the test replace them (not under AddressSanitizer, which
// replaces them itself).
#ifndef NOISEBIND_TESTS_PERFORMANCE_ALLOCATION_COUNTER_H
#define NOISEBIND_TESTS_PERFORMANCE_ALLOCATION_COUNTER_H

namespace noisebind::testing {

class AllocationWindow {
 public:
  AllocationWindow();
  ~AllocationWindow();
  AllocationWindow(const AllocationWindow&) = delete;
  AllocationWindow& operator=(const AllocationWindow&) = delete;

  // Allocations since the window opened (an operator new that goes through
  // a counted malloc counts twice).
  long count() const;
};

// Whether malloc itself is counted in this build.
bool CountsMalloc();

}  // namespace noisebind::testing

#endif  // NOISEBIND_TESTS_PERFORMANCE_ALLOCATION_COUNTER_H
