// Tests that run once per instruction-set path, skipped where the processor
// cannot run it; each forces its path and restores the default after.
#ifndef NOISEBIND_TESTS_SIMD_PATH_TEST_H
#define NOISEBIND_TESTS_SIMD_PATH_TEST_H

#include <gtest/gtest.h>

#include "noisebind/simd/isa.h"
#include "subjects.h"

namespace noisebind::simd::testing {

class PathTest : public ::testing::TestWithParam<Isa> {
 protected:
  void SetUp() override {
    if (!IsaSupported(GetParam())) GTEST_SKIP() << IsaName(GetParam()) << " not supported here";
    ASSERT_TRUE(ForceIsa(GetParam()));
  }
  void TearDown() override { ResetIsa(); }

  // Evaluates `points` with the subject's module in a batch and point by
  // point through GetValue, and reports every difference (the first few in
  // full).
  void ExpectLibraryValues(const Subject& subject, const GeneratorSettings& settings,
                           const Cloud& points);

  int reported_ = 0;
};

std::string PathName(const ::testing::TestParamInfo<Isa>& info);

}  // namespace noisebind::simd::testing

#endif
