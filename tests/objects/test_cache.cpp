// noise.Cache: a class like the others whose value is its source's, at one
// point and in blocks, however its source changes and on several threads.
#include <gtest/gtest.h>
#include <libnoise/module/module.h>

#include <thread>
#include <vector>

#include "lua/objects/noise_object.h"
#include "lua_fixture.h"
#include "random_graph.h"

namespace noisebind::objects::testing {
namespace {

class CacheObjects : public LuaFixture {};

TEST_F(CacheObjects, IsAClassWithoutFields) {
  Run("c = noise.Cache(noise.Perlin{ seed = 3 })");
  EXPECT_EQ(Number("#tostring(c) == #'Cache' and 1 or 0"), 1);
  EXPECT_EQ(Number("getmetatable(c) == 'Cache' and 1 or 0"), 1);
  EXPECT_EQ(Number("c:source(1).seed"), 3);
  EXPECT_EQ(Error("c.frequency = 2"), "Cache has no field 'frequency'");
  EXPECT_EQ(Error("noise.Cache(nil):calc(0, 0, 0)"), "Cache needs source 1");
  EXPECT_EQ(Error("noise.Cache({})"),
            "bad argument #1 to 'Cache' (noise object expected, got table)");
}

// libnoise's own Cache would return the value it kept for the last point
// after its source changed, and two threads would race on what it keeps.
TEST_F(CacheObjects, FollowsItsSourceAtOnePointAndInBlocks) {
  Run("p = noise.Perlin{ seed = 1 } c = noise.Cache(p) before = c:calc(0.3, 0.4, 0.5)");
  EXPECT_EQ(Number("before"), Number("p:calc(0.3, 0.4, 0.5)"));
  Run("p.seed = 2");
  EXPECT_EQ(Number("c:calc(0.3, 0.4, 0.5)"), Number("p:calc(0.3, 0.4, 0.5)"));
  EXPECT_NE(Number("c:calc(0.3, 0.4, 0.5)"), Number("before"));
  Run("c:setsource(1, noise.Const{ value = 0.25 })");
  EXPECT_EQ(Number("c:calc(0.3, 0.4, 0.5)"), 0.25);
}

TEST(Cache, SeveralThreadsReadOneCacheAsItsSource) {
  GraphMaker maker(41);
  Node& cache = maker.Make(Kind::kCache, 3);
  const Node& source = *cache.source(0);
  const Cloud cloud = maker.Points(2000, 0.01);
  std::vector<double> expected(cloud.size());
  source.GetValues(cloud.x.data(), cloud.y.data(), cloud.z.data(), cloud.size(), expected.data());
  std::vector<std::vector<double>> results(4, std::vector<double>(cloud.size()));
  std::vector<std::thread> threads;
  for (std::vector<double>& out : results) {
    threads.emplace_back([&] {
      // Point by point through the module, as libnoise's callers do.
      for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = cache.module().GetValue(cloud.x[i], cloud.y[i], cloud.z[i]);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::vector<double>& out : results) {
    for (std::size_t i = 0; i < out.size(); ++i) ASSERT_TRUE(SameValue(expected[i], out[i]));
  }
  EXPECT_NE(cache.As<noise::module::Cache>(), nullptr);
}

}  // namespace
}  // namespace noisebind::objects::testing
