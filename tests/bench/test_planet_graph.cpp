// The planet graph of the benches and examples/planet_big.lua: the noise
// objects give libnoise's values bit for bit, block by block and point by
// point, though libnoise's graph reads its shared parts through Cache.
#include <gtest/gtest.h>
#include <libnoise/latlon.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "planet_graph.h"

namespace {

using noisebind::bench::NativePlanet;
using noisebind::bench::ObjectPlanet;

std::uint64_t Bits(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Points of a coarse sphere map, rows near the poles included, and a run of
// neighbours along a row, where libnoise's Cache is hit and missed by turns.
struct Points {
  std::vector<double> x, y, z;
  void Add(double lat, double lon) {
    double px, py, pz;
    noise::LatLonToXYZ(lat, lon, px, py, pz);
    x.push_back(px);
    y.push_back(py);
    z.push_back(pz);
  }
};

Points Sample() {
  Points p;
  for (int row = 0; row < 24; ++row) {
    for (int col = 0; col < 48; ++col) p.Add(-90 + row * 7.5 + 0.25, -180 + col * 7.5);
  }
  for (int k = 0; k < 300; ++k) p.Add(12.3, 40 + k * 0.01);
  p.Add(90, 0);
  p.Add(-90, 0);
  return p;
}

TEST(PlanetGraph, IsLargeAndSharesItsSubgraphs) {
  const NativePlanet native;
  EXPECT_EQ(native.ModuleCount(), 128u);
  EXPECT_EQ(native.CacheCount(), 26u);
  const ObjectPlanet objects;
  EXPECT_EQ(objects.NodeCount(), native.ModuleCount());
}

TEST(PlanetGraph, ObjectsGiveLibnoiseValuesBitForBit) {
  const NativePlanet native;
  const ObjectPlanet objects;
  const Points p = Sample();
  const std::size_t count = p.x.size();
  std::vector<double> batch(count);
  objects.root().GetValues(p.x.data(), p.y.data(), p.z.data(), count, batch.data());
  int land = 0, sea = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const double want = native.root().GetValue(p.x[i], p.y[i], p.z[i]);
    ASSERT_FALSE(std::isnan(want)) << "point " << i;
    ASSERT_EQ(Bits(batch[i]), Bits(want)) << "point " << i;
    ASSERT_EQ(Bits(objects.root().module().GetValue(p.x[i], p.y[i], p.z[i])), Bits(want))
        << "point " << i;
    (want < 0 ? sea : land) += 1;
  }
  // A planet, not an ocean or a desert: both kinds of surface are sampled.
  EXPECT_GT(land, static_cast<int>(count) / 5);
  EXPECT_GT(sea, static_cast<int>(count) / 5);
}

}  // namespace
