#include "render/heightmap_files.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "image/atomic_file.h"
#include "image/image_png.h"

namespace noisebind::render {
namespace {

static_assert(std::numeric_limits<float>::is_iec559 && sizeof(float) == 4,
              "raw heightmaps need IEEE single precision");

struct GreyImage {
  std::uint32_t width;
  std::uint32_t height;
  const std::uint16_t* levels;
};

void Reason(const char* text, char* reason, std::size_t reasonSize) {
  std::snprintf(reason, reasonSize, "%s", text);
}

// Linear 16-bit grey is written as it is, without conversion.
bool WriteGreyPng(std::FILE* file, const void* data, char* reason,
                  std::size_t reasonSize) noexcept {
  const auto& grey = *static_cast<const GreyImage*>(data);
  return vessa::WritePng(file, grey.width, grey.height, PNG_FORMAT_LINEAR_Y, grey.levels, 0, reason,
                         reasonSize);
}

// The row buffer is made before the file, so that writing cannot throw.
struct FloatRows {
  maps::MapView map;
  std::vector<unsigned char>& row;
};

bool WriteFloats(std::FILE* file, const void* data, char* reason, std::size_t reasonSize) noexcept {
  const auto& job = *static_cast<const FloatRows*>(data);
  const maps::MapView& map = job.map;
  std::vector<unsigned char>& row = job.row;
  // The rows of every layer in turn, as the values are kept.
  const std::size_t rows = std::size_t{map.height} * map.depth;
  for (std::size_t y = 0; y < rows; ++y) {
    for (std::uint32_t x = 0; x < map.width; ++x) {
      const float value = static_cast<float>(map.values[y * map.width + x]);
      std::uint32_t bits = 0;
      std::memcpy(&bits, &value, sizeof bits);
      for (int b = 0; b < 4; ++b) row[std::size_t{x} * 4 + b] = (bits >> (8 * b)) & 0xff;
    }
    if (std::fwrite(row.data(), 1, row.size(), file) != row.size()) {
      Reason(std::strerror(errno), reason, reasonSize);
      return false;
    }
  }
  return true;
}

}  // namespace

std::uint16_t GreyLevel(double value, double low, double high) {
  if (!(high > low)) return 0;
  const double level = (value - low) / (high - low) * 65535.0;
  if (!(level > 0.0)) return 0;
  if (level >= 65535.0) return 65535;
  return static_cast<std::uint16_t>(level + 0.5);
}

bool SaveGreyPng16(const maps::MapView& map, double low, double high, const char* path,
                   char* reason, std::size_t reasonSize) {
  try {
    std::vector<std::uint16_t> levels(map.size());
    for (std::size_t i = 0; i < levels.size(); ++i) levels[i] = GreyLevel(map.values[i], low, high);
    const GreyImage grey{map.width, map.height, levels.data()};
    return vessa::WriteFileAtomically(path, WriteGreyPng, &grey, reason, reasonSize);
  } catch (const std::bad_alloc&) {
    Reason("not enough memory", reason, reasonSize);
  }
  return false;
}

bool SaveFloat32(const maps::MapView& map, const char* path, char* reason, std::size_t reasonSize) {
  try {
    std::vector<unsigned char> row(std::size_t{map.width} * 4);
    const FloatRows job{map, row};
    return vessa::WriteFileAtomically(path, WriteFloats, &job, reason, reasonSize);
  } catch (const std::bad_alloc&) {
    Reason("not enough memory", reason, reasonSize);
  }
  return false;
}

}  // namespace noisebind::render
