// Blocks whose points share y while x and z vary (rings), as sphere maps
// (one latitude a row) and cylinder maps (one height a row) give them:
// Perlin, Billow and RidgedMulti work out y's share of the lattice once per
// ring and octave, and must still give GetValue's bits on every path, for
// every generator, whatever the ring's length, place and neighbours.
#include <libnoise/latlon.h>

#include <cmath>
#include <functional>
#include <limits>

#include "path_test.h"

namespace noisebind::simd::testing {
namespace {

using Rings = PathTest;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A sphere map's row: `count` longitudes from -180 at latitude `lat`.
void AddLatitude(Cloud& c, double lat, std::size_t count, double radius = 1.0) {
  for (std::size_t i = 0; i < count; ++i) {
    double x, y, z;
    noise::LatLonToXYZ(lat, -180.0 + 360.0 * static_cast<double>(i) / static_cast<double>(count), x,
                       y, z);
    c.x.push_back(x * radius);
    c.y.push_back(y * radius);
    c.z.push_back(z * radius);
  }
}

// A cylinder map's row: cos and sin of the angle, y the height.
void AddHeight(Cloud& c, double height, double fromDegrees, double stepDegrees, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const double a = (fromDegrees + stepDegrees * static_cast<double>(i)) * noise::DEG_TO_RAD;
    c.x.push_back(std::cos(a));
    c.y.push_back(height);
    c.z.push_back(std::sin(a));
  }
}

struct Layout {
  const char* description;
  std::function<Cloud()> points;
};

const Layout kLayouts[] = {
    {"sphere rows from pole to pole, 512 wide",
     [] {
       Cloud c;
       for (double lat = -90.0; lat <= 90.0; lat += 22.5) AddLatitude(c, lat, 512);
       return c;
     }},
    {"sphere rows of every short length",
     [] {
       Cloud c;
       for (std::size_t n = 1; n <= 13; ++n) AddLatitude(c, 10.0 * static_cast<double>(n), n);
       return c;
     }},
    {"a large sphere: rings crossing many cells",
     [] {
       Cloud c;
       AddLatitude(c, 33.3, 300, 4000.0);
       AddLatitude(c, -71.0, 100, 1e5);
       return c;
     }},
    {"cylinder rows on and beside cell faces",
     [] {
       Cloud c;
       for (double h : {0.0, -0.0, 1.0, -1.0, std::nextafter(1.0, 0.0), 0.5, 1e-300, 3.75})
         AddHeight(c, h, 0.0, 1.5, 37);
       return c;
     }},
    {"cylinder rows where libnoise folds and clamps y",
     [] {
       Cloud c;
       for (double h : {1073741824.0, -1073741824.0 - 0.5, 2147483648.0, 1e15, kInf, -kInf, kNaN})
         AddHeight(c, h, -30.0, 7.0, 20);
       return c;
     }},
    {"a ring with far, infinite and NaN x and z",
     [] {
       Cloud c;
       AddHeight(c, 0.25, 0.0, 10.0, 40);
       c.x[3] = kInf;
       c.z[7] = -kInf;
       c.x[11] = kNaN;
       c.z[12] = 1e300;
       c.x[20] = -3e9;
       return c;
     }},
    {"rings, rows and scattered points in one block",
     [] {
       Cloud c;
       AddHeight(c, 0.5, 0.0, 3.0, 9);
       for (int i = 0; i < 6; ++i) {  // a row: y and z shared
         c.x.push_back(0.1 * i);
         c.y.push_back(0.5);
         c.z.push_back(2.0);
       }
       AddHeight(c, 0.5, 90.0, 3.0, 3);  // too short to share, y as before
       AddHeight(c, -0.0, 0.0, 1.0, 5);  // another sign of zero: another ring
       AddHeight(c, 0.0, 0.0, 1.0, 5);
       AddLatitude(c, 45.0, 300);
       return c;
     }},
    {"a plane chunk's short rows: one y, many z",
     [] {
       Cloud c;
       for (int row = 0; row < 3; ++row) {
         for (int col = 0; col < 80; ++col) {
           c.x.push_back(col / 80.0);
           c.y.push_back(0.0);
           c.z.push_back(row / 80.0 + (col % 2) * 1e-12);  // z differs along the row
         }
       }
       return c;
     }},
};

TEST_P(Rings, EveryGeneratorOnEveryLayout) {
  PointSource source(2718);
  for (const Layout& layout : kLayouts) {
    SCOPED_TRACE(layout.description);
    const Cloud points = layout.points();
    for (int draw = 0; draw < 4; ++draw) {
      GeneratorSettings settings = draw == 0 ? GeneratorSettings{} : source.Settings();
      if (draw == 3) settings.octaves = 30;  // rings carried to libnoise's fold
      for (const Subject& subject : Subjects()) ExpectLibraryValues(subject, settings, points);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, Rings, ::testing::Values(Isa::portable, Isa::avx2, Isa::avx512),
                         PathName);

}  // namespace
}  // namespace noisebind::simd::testing
