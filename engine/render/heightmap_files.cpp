#include "engine/render/heightmap_files.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "engine/image/byte_output.h"
#include "engine/image/image_png.h"

namespace noisebind::render {
namespace {

static_assert(std::numeric_limits<float>::is_iec559 && sizeof(float) == 4,
              "raw heightmaps need IEEE single precision");
static_assert(std::numeric_limits<double>::is_iec559 && sizeof(double) == 8,
              "raw heightmaps need IEEE double precision");

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// The float maximum plus half its last step: from here on, rounding to
// single precision gives infinity (the tie goes to the even infinity).
constexpr double kFloatOverflow = 0x1.ffffffp127;

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
  return noisebind::image::WritePng(file, grey.width, grey.height, PNG_FORMAT_LINEAR_Y, grey.levels,
                                    0, reason, reasonSize);
}

// The levels are made before the output, so that writing cannot throw.
bool GreyPng16(const maps::MapView& map, double low, double high,
               const noisebind::image::ByteOutput& output, char* reason, std::size_t reasonSize) {
  try {
    std::vector<std::uint16_t> levels(map.size());
    for (std::size_t i = 0; i < levels.size(); ++i) levels[i] = GreyLevel(map.values[i], low, high);
    const GreyImage grey{map.width, map.height, levels.data()};
    return noisebind::image::WriteOutput(output, WriteGreyPng, &grey, reason, reasonSize);
  } catch (const std::bad_alloc&) {
    Reason("not enough memory", reason, reasonSize);
  }
  return false;
}

void PutLittleEndian(std::uint64_t bits, std::size_t bytes, unsigned char* out) {
  for (std::size_t b = 0; b < bytes; ++b) out[b] = static_cast<unsigned char>(bits >> (8 * b));
}

struct RawJob {
  const maps::MapView& map;
  const RawEncoding& encoding;
};

// A chunk at a time through a buffer on the stack: nothing to allocate.
bool WriteRawValues(std::FILE* file, const void* data, char* reason,
                    std::size_t reasonSize) noexcept {
  const auto& job = *static_cast<const RawJob*>(data);
  unsigned char chunk[1 << 16];
  const std::size_t valueBytes = RawValueBytes(job.encoding.format);
  const std::size_t step = sizeof chunk / valueBytes;
  const std::size_t total = job.map.size();
  for (std::size_t first = 0; first < total; first += step) {
    const std::size_t count = std::min(step, total - first);
    EncodeRaw(job.map, job.encoding, first, count, chunk);
    if (std::fwrite(chunk, valueBytes, count, file) != count) {
      Reason(std::strerror(errno), reason, reasonSize);
      return false;
    }
  }
  return true;
}

}  // namespace

std::uint32_t ScaledLevel(double value, double low, double high, std::uint32_t top) {
  if (value == kInfinity) return top;
  if (!(high > low)) return 0;
  const double level = maps::FractionOf(value, low, high) * top;
  if (!(level > 0.0)) return 0;
  if (level >= top) return top;
  // Truncation is defined here, and level - whole is exact, unlike the
  // rounding of level + 0.5 just below a half.
  const auto whole = static_cast<std::uint32_t>(level);
  return level - whole >= 0.5 ? whole + 1 : whole;
}

float ToFloat(double value) {
  if (value >= kFloatOverflow) return std::numeric_limits<float>::infinity();
  if (value <= -kFloatOverflow) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

std::size_t RawValueBytes(RawFormat format) {
  switch (format) {
    case RawFormat::kFloat32:
      return 4;
    case RawFormat::kFloat64:
      return 8;
    case RawFormat::kLevel16:
      return 2;
    case RawFormat::kLevel8:
      return 1;
  }
  return 1;
}

void EncodeRaw(const maps::MapView& map, const RawEncoding& encoding, std::size_t first,
               std::size_t count, unsigned char* out) {
  const double* values = map.values + first;
  const std::size_t valueBytes = RawValueBytes(encoding.format);
  for (std::size_t i = 0; i < count; ++i, out += valueBytes) {
    std::uint64_t bits = 0;
    switch (encoding.format) {
      case RawFormat::kFloat32: {
        const float single = ToFloat(values[i]);
        std::uint32_t word = 0;
        std::memcpy(&word, &single, sizeof word);
        bits = word;
        break;
      }
      case RawFormat::kFloat64:
        std::memcpy(&bits, &values[i], sizeof bits);
        break;
      case RawFormat::kLevel16:
        bits = ScaledLevel(values[i], encoding.low, encoding.high, 65535);
        break;
      case RawFormat::kLevel8:
        bits = ScaledLevel(values[i], encoding.low, encoding.high, 255);
        break;
    }
    PutLittleEndian(bits, valueBytes, out);
  }
}

bool SaveGreyPng16(const maps::MapView& map, double low, double high, const char* path,
                   char* reason, std::size_t reasonSize) {
  return GreyPng16(map, low, high, noisebind::image::ByteOutput{path, nullptr, nullptr}, reason,
                   reasonSize);
}

bool EncodeGreyPng16(const maps::MapView& map, double low, double high, char** bytes,
                     std::size_t* size, char* reason, std::size_t reasonSize) {
  return GreyPng16(map, low, high, noisebind::image::ByteOutput{nullptr, bytes, size}, reason,
                   reasonSize);
}

bool SaveRaw(const maps::MapView& map, const RawEncoding& encoding, const char* path, char* reason,
             std::size_t reasonSize) {
  const RawJob job{map, encoding};
  return noisebind::image::WriteFileAtomically(path, WriteRawValues, &job, reason, reasonSize);
}

// The size is known, so the values go straight into one block.
bool EncodeRawBytes(const maps::MapView& map, const RawEncoding& encoding, char** bytes,
                    std::size_t* size, char* reason, std::size_t reasonSize) {
  *size = map.size() * RawValueBytes(encoding.format);
  *bytes = static_cast<char*>(std::malloc(*size == 0 ? 1 : *size));
  if (*bytes == nullptr) {
    Reason("not enough memory", reason, reasonSize);
    return false;
  }
  EncodeRaw(map, encoding, 0, map.size(), reinterpret_cast<unsigned char*>(*bytes));
  return true;
}

}  // namespace noisebind::render
