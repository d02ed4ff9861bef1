#include <gtest/gtest.h>
#include <libnoise/interp.h>
#include <libnoise/model/cylinder.h>
#include <libnoise/model/plane.h>
#include <libnoise/model/sphere.h>
#include <libnoise/module/perlin.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "engine/maps/map_builder.h"
#include "engine/maps/node_source.h"

namespace noisebind::maps {
namespace {

// A value that tells points apart, as a library module.
class Formula final : public noise::module::Module {
 public:
  Formula() : Module(0) {}
  int GetSourceModuleCount() const override { return 0; }
  double GetValue(double x, double y, double z) const override {
    return x * 3.0 + y * 5.0 + std::sin(z * 7.0);
  }
};

// What the objects' side provides, over a library module: the adapter's
// other end. Counts the points asked for at once.
class ModuleNode {
 public:
  explicit ModuleNode(const noise::module::Module& module) : m_module(module) {}
  bool Evaluable(std::string* why) const {
    if (!broken) return true;
    *why = "no source";
    return false;
  }
  void GetValues(const double* x, const double* y, const double* z, std::size_t count,
                 double* out) const {
    std::size_t seen = largest.load();
    while (count > seen && !largest.compare_exchange_weak(seen, count)) {
    }
    for (std::size_t i = 0; i < count; ++i) out[i] = m_module.GetValue(x[i], y[i], z[i]);
  }
  bool broken = false;
  mutable std::atomic<std::size_t> largest{0};

 private:
  const noise::module::Module& m_module;
};

std::vector<double> Build(const PointSource& source, const MapRequest& request,
                          unsigned threads = 2) {
  std::vector<double> values(std::size_t{request.width} * request.height, -99.0);
  std::string error;
  EXPECT_TRUE(BuildMap(source, request, RunOptions{threads, nullptr}, values.data(), &error))
      << error;
  return values;
}

MapRequest Request(Projection projection, double c0, double c1, double r0, double r1,
                   std::uint32_t width, std::uint32_t height) {
  MapRequest request;
  request.projection = projection;
  request.columnFrom = c0;
  request.columnTo = c1;
  request.rowFrom = r0;
  request.rowTo = r1;
  request.width = width;
  request.height = height;
  return request;
}

MapRequest Flipped(MapRequest request) {
  request.flip = true;
  return request;
}

// Each projection against the library's own model over the same module, at
// the inputs the grid states: rows longer than a block, and chunks whose
// short rows go into one block together (flipped too).
TEST(MapBuilder, EveryProjectionEqualsTheLibraryModelBitForBit) {
  Formula formula;
  const ModuleNode node(formula);
  const NodeSource<ModuleNode> source(node);
  noise::model::Plane plane(formula);
  noise::model::Sphere sphere(formula);
  noise::model::Cylinder cylinder(formula);
  struct Case {
    MapRequest request;
    std::function<double(double column, double row)> model;
  };
  const Case cases[] = {
      {Request(Projection::kPlane, -1.5, 2.25, 0.1, 7.3, 300, 7),
       [&](double x, double z) { return plane.GetValue(x, z); }},
      {Request(Projection::kSphere, -180, 180, -90, 90, 37, 19),
       [&](double lon, double lat) { return sphere.GetValue(lat, lon); }},
      {Request(Projection::kSphere, 10.5, 11, -3, 60, 5, 6),
       [&](double lon, double lat) { return sphere.GetValue(lat, lon); }},
      {Request(Projection::kCylinder, 0, 360, -2, 3.5, 520, 3),
       [&](double angle, double height) { return cylinder.GetValue(angle, height); }},
      {Request(Projection::kPlane, 0, 5, 0, 5, 1, 1),
       [&](double x, double z) { return plane.GetValue(x, z); }},
      {Request(Projection::kPlane, -8, 72, 16, 96, 80, 80),
       [&](double x, double z) { return plane.GetValue(x, z); }},
      {Flipped(Request(Projection::kPlane, -8, 72, 16, 96, 96, 7)),
       [&](double x, double z) { return plane.GetValue(x, z); }},
      {Flipped(Request(Projection::kSphere, -180, 180, -90, 90, 13, 40)),
       [&](double lon, double lat) { return sphere.GetValue(lat, lon); }},
      {Request(Projection::kCylinder, 0, 90, -2, 3.5, 3, 95),
       [&](double angle, double height) { return cylinder.GetValue(angle, height); }},
  };
  for (const Case& c : cases) {
    const MapRequest& r = c.request;
    const std::vector<double> values = Build(source, r);
    for (std::uint32_t j = 0; j < r.height; ++j) {
      const std::size_t stored = r.flip ? r.height - 1 - j : j;
      for (std::uint32_t i = 0; i < r.width; ++i) {
        const double column = r.columnFrom + i * (r.columnTo - r.columnFrom) / r.width;
        const double row = r.rowFrom + j * (r.rowTo - r.rowFrom) / r.height;
        ASSERT_EQ(values[stored * r.width + i], c.model(column, row))
            << r.width << " x " << r.height << ": " << i << ", " << j;
      }
    }
  }
  // Rows longer than a block are evaluated a block at a time.
  EXPECT_EQ(node.largest.load(), std::size_t{kBlockSize});
}

// Positions as noiseutils' builders reach them: the step added per sample.
std::vector<double> Stepped(double from, double to, std::uint32_t count) {
  std::vector<double> at(count);
  const double delta = (to - from) / static_cast<double>(count);
  double current = from;
  for (std::uint32_t i = 0; i < count; ++i) {
    at[i] = current;
    current += delta;
  }
  return at;
}

// libnoise's GetValue at the stepped positions, bit for bit, for planes
// (plain and seamless), spheres and cylinders; the default positions differ.
TEST(MapBuilder, NoiseUtilsPositionsGiveLibnoisesValues) {
  noise::module::Perlin perlin;
  perlin.SetOctaveCount(4);
  const ModuleNode node(perlin);
  const NodeSource<ModuleNode> source(node);
  const noise::model::Plane plane(perlin);
  const noise::model::Sphere sphere(perlin);
  const noise::model::Cylinder cylinder(perlin);
  const auto seamless = [&](double x, double z) {
    // noiseutils' blend of the four samples, weights from the stepped x and z.
    const double xExtent = 1.3 - -0.7;
    const double zExtent = 0.9 - 0.1;
    const double sw = plane.GetValue(x, z);
    const double se = plane.GetValue(x + xExtent, z);
    const double nw = plane.GetValue(x, z + zExtent);
    const double ne = plane.GetValue(x + xExtent, z + zExtent);
    const double xBlend = 1.0 - ((x - -0.7) / xExtent);
    const double zBlend = 1.0 - ((z - 0.1) / zExtent);
    return noise::LinearInterp(noise::LinearInterp(sw, se, xBlend),
                               noise::LinearInterp(nw, ne, xBlend), zBlend);
  };
  struct Case {
    MapRequest request;
    std::function<double(double column, double row)> model;
  };
  Case cases[] = {
      {Request(Projection::kPlane, -0.7, 1.3, 0.1, 0.9, 50, 30),
       [&](double x, double z) { return plane.GetValue(x, z); }},
      {Request(Projection::kSphere, -170.2, 95.7, -61.3, 77.9, 90, 45),
       [&](double lon, double lat) { return sphere.GetValue(lat, lon); }},
      {Request(Projection::kCylinder, 12.5, 300.1, -0.3, 1.7, 70, 21),
       [&](double angle, double height) { return cylinder.GetValue(angle, height); }},
      {Request(Projection::kPlane, -0.7, 1.3, 0.1, 0.9, 50, 30), seamless},
  };
  cases[3].request.seamless = true;
  std::size_t moved = 0;
  for (Case& c : cases) {
    MapRequest& r = c.request;
    r.positions = Positions::kNoiseUtils;
    const std::vector<double> values = Build(source, r, 3);
    const std::vector<double> columns = Stepped(r.columnFrom, r.columnTo, r.width);
    const std::vector<double> rows = Stepped(r.rowFrom, r.rowTo, r.height);
    for (std::uint32_t j = 0; j < r.height; ++j) {
      for (std::uint32_t i = 0; i < r.width; ++i) {
        const double expected = c.model(columns[i], rows[j]);
        ASSERT_EQ(std::memcmp(&values[std::size_t{j} * r.width + i], &expected, sizeof expected), 0)
            << i << ", " << j;
        if (!r.seamless && r.projection != Projection::kCylinder) {
          moved += columns[i] != GridCoordinate(r.columnFrom, r.columnTo, i, r.width) ||
                   rows[j] != GridCoordinate(r.rowFrom, r.rowTo, j, r.height);
        }
      }
    }
  }
  // Of the 5,550 positions of the plane and the sphere, most lie elsewhere
  // by default.
  EXPECT_EQ(moved, 5366u);
}

TEST(MapBuilder, OneThreadAndManyGiveTheSameMap) {
  noise::module::Perlin perlin;
  const ModuleNode node(perlin);
  const NodeSource<ModuleNode> source(node);
  for (Projection projection : {Projection::kPlane, Projection::kCylinder}) {
    MapRequest request = Request(projection, 0, 3, 0, 2, 97, 61);
    const std::vector<double> one = Build(source, request, 1);
    for (unsigned threads : {2u, 3u, 16u}) {
      const std::vector<double> many = Build(source, request, threads);
      EXPECT_EQ(std::memcmp(one.data(), many.data(), one.size() * sizeof(double)), 0) << threads;
    }
  }
}

TEST(MapBuilder, FlippedRowsRunFromTheUpperBound) {
  Formula formula;
  const ModuleNode node(formula);
  const NodeSource<ModuleNode> source(node);
  MapRequest request = Request(Projection::kSphere, -180, 180, -90, 90, 8, 5);
  const std::vector<double> plain = Build(source, request);
  request.flip = true;
  const std::vector<double> flipped = Build(source, request);
  for (std::uint32_t j = 0; j < 5; ++j) {
    EXPECT_TRUE(std::equal(plain.begin() + j * 8, plain.begin() + j * 8 + 8,
                           flipped.begin() + (4 - j) * 8));
  }
}

// The wrap steps (last column to the first, last row to the first) are no
// larger than the largest step between neighbours inside.
TEST(MapBuilder, SeamlessPlanesTile) {
  noise::module::Perlin perlin;
  perlin.SetFrequency(2.0);
  const ModuleNode node(perlin);
  const NodeSource<ModuleNode> source(node);
  MapRequest request = Request(Projection::kPlane, 0, 2, 0, 2, 64, 48);
  for (bool seamless : {false, true}) {
    request.seamless = seamless;
    const std::vector<double> v = Build(source, request, 3);
    const auto at = [&](std::uint32_t i, std::uint32_t j) { return v[std::size_t{j} * 64 + i]; };
    double inside = 0.0;
    double across = 0.0;
    for (std::uint32_t j = 0; j < 48; ++j) {
      for (std::uint32_t i = 0; i + 1 < 64; ++i)
        inside = std::max(inside, std::fabs(at(i + 1, j) - at(i, j)));
      across = std::max(across, std::fabs(at(0, j) - at(63, j)));
    }
    for (std::uint32_t i = 0; i < 64; ++i) {
      for (std::uint32_t j = 0; j + 1 < 48; ++j)
        inside = std::max(inside, std::fabs(at(i, j + 1) - at(i, j)));
      across = std::max(across, std::fabs(at(i, 0) - at(i, 47)));
    }
    if (seamless) {
      EXPECT_LE(across, inside);
    } else {
      EXPECT_GT(across, inside);  // plain noise does not tile: the test can tell
    }
  }
}

// A source that fails at one point: the map reports it, whatever the
// thread count.
class FailingSource final : public PointSource {
 public:
  bool Values(Workspace*, const double* x, const double*, const double* z, std::size_t count,
              double* out, std::string* error) const override {
    for (std::size_t i = 0; i < count; ++i) {
      if (z[i] >= 3.0 && x[i] >= 2.0) {
        *error = "failed at " + std::to_string(x[i]) + ", " + std::to_string(z[i]);
        return false;
      }
      out[i] = x[i];
    }
    return true;
  }
};

TEST(MapBuilder, TheFirstFailingPointIsReported) {
  const FailingSource source;
  const MapRequest request = Request(Projection::kPlane, 0, 4, 0, 4, 4, 4);
  for (unsigned threads : {1u, 4u}) {
    std::vector<double> values(16);
    std::string error;
    EXPECT_FALSE(BuildMap(source, request, RunOptions{threads, nullptr}, values.data(), &error));
    EXPECT_EQ(error, "failed at 2.000000, 3.000000");
  }
}

TEST(NodeSource, PassesEvaluabilityOn) {
  Formula formula;
  ModuleNode node(formula);
  node.broken = true;
  const NodeSource<ModuleNode> source(node);
  std::string why;
  EXPECT_FALSE(source.Evaluable(&why));
  EXPECT_EQ(why, "no source");
}

}  // namespace
}  // namespace noisebind::maps
