#include "batch_input.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace noisebind::fuzz {
namespace {

using simd::Isa;
using simd::testing::EdgeCoordinates;

const std::vector<Isa>& RunnablePaths() {
  static const std::vector<Isa> paths = [] {
    std::vector<Isa> runnable;
    for (Isa isa : {Isa::portable, Isa::avx2, Isa::avx512}) {
      if (simd::IsaSupported(isa)) runnable.push_back(isa);
    }
    return runnable;
  }();
  return paths;
}

}  // namespace

double ReadBatchNumber(ByteReader& reader) {
  const std::uint8_t selector = reader.Byte();
  const int detail = selector >> 2;  // 0 to 63
  const std::vector<double>& edges = EdgeCoordinates();
  switch (selector & 3) {
    case 0:
      return edges[reader.Byte() % edges.size()];
    case 1: {  // up to four ulps either side of an edge coordinate
      double value = edges[reader.Byte() % edges.size()];
      const int steps = detail % 9 - 4;
      for (int i = 0; i < std::abs(steps); ++i) {
        value = std::nextafter(value, steps < 0 ? -HUGE_VAL : HUGE_VAL);
      }
      return value;
    }
    case 2:  // 1/256 steps around the lattice, scaled by 2^-16 to 2^47: exact
      return std::ldexp(reader.Raw<std::int16_t>() / 256.0, detail - 16);
    default:
      return reader.RawDouble();
  }
}

namespace {

// Perlin and Billow refuse counts outside 1 to 30; RidgedMulti takes any
// count up to 30, zero and negative ones included.
int ReadOctaves(ByteReader& reader, bool ridged) {
  const std::uint8_t byte = reader.Byte();
  if (!ridged) return 1 + byte % 30;
  if (byte <= 30) return byte;
  if (byte < 128) return byte % 31;
  if (byte == 255) return std::numeric_limits<int>::min();
  return static_cast<std::int8_t>(byte);
}

// Puts the points on rows or rings as maps lay them (see batch_input.h),
// so that the kernels that share lattice cells along a row, and y's share
// along a ring, are reached.
void ReadLayout(ByteReader& reader, simd::testing::Cloud& points) {
  const std::uint8_t layout = reader.Byte() % 6;
  if (layout == 0 || points.x.empty()) return;
  const bool ring = layout >= 4, ownCoordinates = layout == 3 || layout == 5;
  const std::size_t length = layout == 2 || layout == 4 ? 1 + reader.Byte() % 64 : points.x.size();
  const double step = ownCoordinates ? 0.0 : ReadBatchNumber(reader);
  for (std::size_t i = 0; i < points.x.size(); ++i) {
    const std::size_t first = i - i % length;
    const double offset = static_cast<double>(i - first) * step;
    points.y[i] = points.y[first];
    if (!ring) points.z[i] = points.z[first];
    if (ownCoordinates) continue;
    points.x[i] = points.x[first] + offset;
    if (ring) points.z[i] = points.z[first] - offset;
  }
}

}  // namespace

BatchCase ReadBatchCase(ByteReader& reader) {
  const auto& subjects = simd::testing::Subjects();
  const auto& paths = RunnablePaths();
  BatchCase result{};
  result.subject = &subjects[reader.Byte() % subjects.size()];
  result.path = paths[reader.Byte() % paths.size()];
  simd::testing::GeneratorSettings& s = result.settings;
  s.octaves = ReadOctaves(reader, std::string(result.subject->name) == "RidgedMulti");
  // 3 is the one value beyond the named qualities that the enumeration can
  // hold; anything further would be undefined before any kernel ran.
  s.quality = static_cast<noise::NoiseQuality>(reader.Byte() % 4);
  s.seed = reader.Raw<std::int32_t>();
  s.frequency = ReadBatchNumber(reader);
  s.lacunarity = ReadBatchNumber(reader);
  s.persistence = ReadBatchNumber(reader);
  s.displacement = ReadBatchNumber(reader);
  s.constant = ReadBatchNumber(reader);
  s.distance = (reader.Byte() & 1) != 0;
  const std::size_t count = reader.Byte() % (kMaxBatchPoints + 1);
  for (std::size_t i = 0; i < count; ++i) {
    result.points.x.push_back(ReadBatchNumber(reader));
    result.points.y.push_back(ReadBatchNumber(reader));
    result.points.z.push_back(ReadBatchNumber(reader));
  }
  ReadLayout(reader, result.points);
  return result;
}

}  // namespace noisebind::fuzz
