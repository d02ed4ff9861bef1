// Conversions between script numbers and what the noise library takes.
#ifndef NOISEBIND_ENTRY_CONVERSIONS_H
#define NOISEBIND_ENTRY_CONVERSIONS_H

#include <cstdint>
#include <limits>

namespace noisebind {

// A script number as a 32-bit integer: truncated toward zero; NaN gives 0,
// and numbers beyond the range, infinities included, give its nearest end.
constexpr std::int32_t ToInt32(double value) {
  if (value != value) return 0;
  if (value >= 2147483648.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483649.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

// Results reach scripts in single precision. IEEE conversion rounds to the
// nearest float and turns what lies beyond the float range into an infinity.
static_assert(std::numeric_limits<float>::is_iec559, "results need IEEE single precision");
inline float ToFloat(double value) {
  return static_cast<float>(value);
}

// 32-bit sums that wrap like two's complement, without signed overflow.
constexpr std::int32_t WrappingAdd(std::int32_t value, std::int32_t addend) {
  const std::uint32_t sum = static_cast<std::uint32_t>(value) + static_cast<std::uint32_t>(addend);
  return sum <= 0x7fffffffu ? static_cast<std::int32_t>(sum)
                            : static_cast<std::int32_t>(sum - 0x80000000u) +
                                  std::numeric_limits<std::int32_t>::min();
}

}  // namespace noisebind

#endif  // NOISEBIND_ENTRY_CONVERSIONS_H
