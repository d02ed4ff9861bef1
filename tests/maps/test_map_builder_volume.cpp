#include <gtest/gtest.h>
#include <libnoise/module/perlin.h>

#include <cstring>
#include <vector>

#include "engine/maps/map_builder.h"
#include "engine/maps/map_builder_volume.h"
#include "engine/maps/map_values.h"

namespace noisebind::maps {
namespace {

// A library module as a source, noting the largest block asked for.
class ModuleSource final : public PointSource {
 public:
  explicit ModuleSource(const noise::module::Module& module) : m_module(module) {}
  bool Values(Workspace*, const double* x, const double* y, const double* z, std::size_t count,
              double* out, std::string*) const override {
    for (std::size_t i = 0; i < count; ++i) out[i] = m_module.GetValue(x[i], y[i], z[i]);
    return true;
  }

 private:
  const noise::module::Module& m_module;
};

VolumeRequest Request(std::uint32_t width, std::uint32_t height, std::uint32_t depth) {
  VolumeRequest request;
  const double from[] = {-1.3, 0.25, 7.0};
  const double to[] = {2.6, 1.1, 9.5};
  const std::uint32_t size[] = {width, height, depth};
  for (int a = 0; a < 3; ++a) {
    request.from[a] = from[a];
    request.to[a] = to[a];
    request.size[a] = size[a];
  }
  return request;
}

std::vector<double> Build(const PointSource& source, const VolumeRequest& r, unsigned threads) {
  std::vector<double> values(std::size_t{r.size[0]} * r.size[1] * r.size[2], -99.0);
  std::string error;
  EXPECT_TRUE(BuildVolume(source, r, RunOptions{threads, nullptr}, values.data(), &error)) << error;
  return values;
}

// Value (i, j, k) is the module's at the i-th x, j-th y and k-th z, stored x
// fastest, then y, then z; rows wider than a block included.
TEST(VolumeBuilder, ValuesInLuantisOrderAtTheLatticePoints) {
  noise::module::Perlin perlin;
  const ModuleSource source(perlin);
  for (const VolumeRequest& r : {Request(5, 3, 4), Request(kBlockSize + 9, 2, 3)}) {
    const std::vector<double> values = Build(source, r, 3);
    for (std::uint32_t k = 0; k < r.size[2]; ++k) {
      for (std::uint32_t j = 0; j < r.size[1]; ++j) {
        for (std::uint32_t i = 0; i < r.size[0]; ++i) {
          const double x = r.from[0] + i * (r.to[0] - r.from[0]) / r.size[0];
          const double y = r.from[1] + j * (r.to[1] - r.from[1]) / r.size[1];
          const double z = r.from[2] + k * (r.to[2] - r.from[2]) / r.size[2];
          ASSERT_EQ(values[(std::size_t{k} * r.size[1] + j) * r.size[0] + i],
                    perlin.GetValue(x, y, z))
              << i << ", " << j << ", " << k;
        }
      }
    }
  }
}

TEST(VolumeBuilder, OneThreadAndManyGiveTheSameVolume) {
  noise::module::Perlin perlin;
  const ModuleSource source(perlin);
  const VolumeRequest request = Request(33, 17, 11);
  const std::vector<double> one = Build(source, request, 1);
  for (unsigned threads : {2u, 5u, 64u}) {
    const std::vector<double> many = Build(source, request, threads);
    EXPECT_EQ(std::memcmp(one.data(), many.data(), one.size() * sizeof(double)), 0) << threads;
  }
}

}  // namespace
}  // namespace noisebind::maps
