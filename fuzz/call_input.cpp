#include "call_input.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

namespace noisebind::fuzz {
namespace {

using testing::Bool;
using testing::Nil;
using testing::Num;
using testing::Str;
using testing::Table;

constexpr unsigned kMaxArgs = 9;  // one more than any function takes

FakeArg ReadArg(ByteReader& reader, bool wantBoolean) {
  const std::uint8_t kind = reader.Byte();
  const std::uint8_t detail = reader.Byte();
  const std::vector<double>& special = SpecialNumbers();
  const double chosen = special[detail % special.size()];
  const int choice = kind % 16;
  if (choice < 9) return wantBoolean ? Bool(detail & 1) : Num(chosen);
  switch (choice) {
    case 9:
    case 10:
      return Num(reader.RawDouble());
    case 11:
      return Num(static_cast<std::int8_t>(detail));
    case 12:
      // The neighbours of a bound, on either side.
      return Num(std::nextafter(chosen, (kind & 0x10) != 0 ? HUGE_VAL : -HUGE_VAL));
    case 13:
      return wantBoolean ? Num(chosen) : Bool(detail & 1);
    case 14:
      return Nil();
    default:
      return (detail & 1) != 0 ? Str() : Table();
  }
}

}  // namespace

const std::vector<double>& SpecialNumbers() {
  constexpr double inf = std::numeric_limits<double>::infinity();
  static const std::vector<double> numbers = {std::nan(""),  -std::nan(""), inf,
                                              -inf,          0.0,           -0.0,
                                              DBL_MAX,       -DBL_MAX,      1e300,
                                              -1e300,        DBL_TRUE_MIN,  -DBL_TRUE_MIN,
                                              DBL_MIN,       1e-300,        0.5,
                                              0.25,          0.75,          1.5,
                                              -0.5,          0.999,         1.0,
                                              -1.0,          2.0,           3.0,
                                              4.0,           5.0,           6.0,
                                              7.0,           8.0,           9.0,
                                              10.0,          11.0,          12.0,
                                              10.5,          11.5,          29.9,
                                              30.0,          30.5,          31.0,
                                              -30.0,         90.0,          -90.0,
                                              180.0,         -180.0,        360.0,
                                              -360.0,        45.0,          2147483647.0,
                                              2147483648.0,  -2147483648.0, -2147483649.0,
                                              2147483646.0,  2147483645.0,  2147483645.5,
                                              -2147483646.0, 4294967296.0,  9007199254740992.0,
                                              1e15,          1e9,           65536.0,
                                              -12345.678,    0.123456789};
  return numbers;
}

CallInput ReadCall(ByteReader& reader, std::size_t functionCount,
                   const std::vector<const char*>& kindsOf) {
  CallInput call;
  call.function = reader.Byte() % functionCount;
  const std::uint8_t shape = reader.Byte();
  call.preparedArgs = shape & 0x0f;
  call.resultRoom = (shape >> 4) & 0x07;
  const char* kinds = kindsOf[call.function];
  const std::size_t arity = std::strlen(kinds);
  // Mostly as many arguments as the function takes; sometimes fewer or more.
  const std::uint8_t count = reader.Byte();
  const std::size_t argCount = count < 192 ? arity : count % (kMaxArgs + 1);
  for (std::size_t i = 0; i < argCount; ++i) {
    call.args.push_back(ReadArg(reader, i < arity && kinds[i] == 'B'));
  }
  return call;
}

}  // namespace noisebind::fuzz
