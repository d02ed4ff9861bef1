// Comparing doubles as the batch paths promise them: the same bits, or NaN
// for NaN (libnoise's NaN payloads follow the operand order its compiler
// picked, which nothing else reproduces).
#ifndef NOISEBIND_TESTS_COMMON_EXACT_VALUES_H
#define NOISEBIND_TESTS_COMMON_EXACT_VALUES_H

#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

namespace noisebind::testing {

inline bool SameValue(double expected, double actual) {
  if (std::isnan(expected)) return std::isnan(actual);
  return std::memcmp(&expected, &actual, sizeof expected) == 0;
}

// The value and its bits, for failure messages.
inline std::string Bits(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  std::ostringstream text;
  text.precision(17);
  text << value << " (0x" << std::hex << bits << ")";
  return text.str();
}

}  // namespace noisebind::testing

#endif  // NOISEBIND_TESTS_COMMON_EXACT_VALUES_H
