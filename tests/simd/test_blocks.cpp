// Blocks of any size, aliasing coordinate arrays, and several threads at once.
#include <cstring>
#include <thread>

#include "path_test.h"

namespace noisebind::simd::testing {
namespace {

using Blocks = PathTest;

Cloud Ordinary(std::size_t count, std::uint64_t seed) {
  PointSource source(seed);
  Cloud cloud;
  for (std::size_t i = 0; i < count; ++i) {
    cloud.x.push_back(source.Coordinate(0.02));
    cloud.y.push_back(source.Coordinate(0.02));
    cloud.z.push_back(source.Coordinate(0.02));
  }
  return cloud;
}

// Sizes around the vector widths: partial blocks must neither read nor write
// past the arrays, which are exactly as long as the count.
TEST_P(Blocks, EverySizeAroundTheWidths) {
  GeneratorSettings settings;
  settings.distance = true;
  for (std::size_t count : {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 257}) {
    for (const Subject& subject : Subjects()) {
      ExpectLibraryValues(subject, settings, Ordinary(count, count));
    }
  }
}

TEST_P(Blocks, NoPointsTouchesNothing) {
  const Points none{nullptr, nullptr, nullptr, 0};
  for (const Subject& subject : Subjects()) {
    subject.batch(*subject.make(GeneratorSettings{}), none, nullptr);
  }
}

// A plane map passes one array of zeros for y and may reuse x for z.
TEST_P(Blocks, AliasedCoordinateArrays) {
  Cloud cloud = Ordinary(100, 5);
  cloud.y.assign(cloud.x.size(), 0.0);
  cloud.z = cloud.x;
  const Points aliased{cloud.x.data(), cloud.y.data(), cloud.x.data(), cloud.x.size()};
  for (const Subject& subject : Subjects()) {
    const auto module = subject.make(GeneratorSettings{});
    std::vector<double> fromAliased(cloud.x.size()), fromCopies(cloud.x.size());
    subject.batch(*module, aliased, fromAliased.data());
    subject.batch(*module, cloud.View(), fromCopies.data());
    EXPECT_EQ(
        0, std::memcmp(fromAliased.data(), fromCopies.data(), fromAliased.size() * sizeof(double)))
        << subject.name;
  }
}

// Two threads on halves of one map, with one module, give the map one
// thread makes (and ThreadSanitizer, where used, sees no race).
TEST_P(Blocks, ThreadsShareAModule) {
  const Cloud cloud = Ordinary(2000, 11);
  const std::size_t half = 1003;  // not a multiple of any width
  for (const Subject& subject : Subjects()) {
    const auto module = subject.make(GeneratorSettings{});
    std::vector<double> whole(cloud.x.size()), split(cloud.x.size());
    subject.batch(*module, cloud.View(), whole.data());
    auto part = [&](std::size_t begin, std::size_t end) {
      const Points p{cloud.x.data() + begin, cloud.y.data() + begin, cloud.z.data() + begin,
                     end - begin};
      subject.batch(*module, p, split.data() + begin);
    };
    std::thread first(part, 0, half);
    std::thread second(part, half, cloud.x.size());
    first.join();
    second.join();
    for (std::size_t i = 0; i < whole.size(); ++i) {
      ASSERT_TRUE(SameValue(whole[i], split[i])) << subject.name << " at " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, Blocks, ::testing::Values(Isa::portable, Isa::avx2, Isa::avx512),
                         PathName);

}  // namespace
}  // namespace noisebind::simd::testing
