#include "path_test.h"

#include <vector>

namespace noisebind::simd::testing {

void PathTest::ExpectLibraryValues(const Subject& subject, const GeneratorSettings& settings,
                                   const Cloud& points) {
  const auto module = subject.make(settings);
  // Exactly the size asked for, so that AddressSanitizer sees any overrun.
  std::vector<double> batch(points.x.size());
  subject.batch(*module, points.View(), batch.data());
  for (std::size_t i = 0; i < batch.size(); ++i) {
    const double expected = module->GetValue(points.x[i], points.y[i], points.z[i]);
    if (SameValue(expected, batch[i])) continue;
    constexpr int kReportLimit = 8;
    if (reported_++ < kReportLimit) {
      ADD_FAILURE() << subject.name << " on " << IsaName(GetParam()) << " with "
                    << Describe(settings) << " at (" << Bits(points.x[i]) << ", "
                    << Bits(points.y[i]) << ", " << Bits(points.z[i]) << "): libnoise "
                    << Bits(expected) << ", batch " << Bits(batch[i]);
    } else if (reported_ == kReportLimit + 1) {
      ADD_FAILURE() << "further differences not shown";
    }
  }
}

std::string PathName(const ::testing::TestParamInfo<Isa>& info) {
  return IsaName(info.param);
}

}  // namespace noisebind::simd::testing
