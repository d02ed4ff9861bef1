// Turns fuzzer bytes into script calls: which function, how the host
// prepares the call, and each argument, with numbers drawn mostly from the
// values where the functions' rules change.
#ifndef NOISEBIND_FUZZ_CALL_INPUT_H
#define NOISEBIND_FUZZ_CALL_INPUT_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fake_host.h"

namespace noisebind::fuzz {

using testing::FakeArg;

class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  bool Empty() const { return m_offset >= m_size; }
  // 0 once the input is used up.
  std::uint8_t Byte() { return m_offset < m_size ? m_data[m_offset++] : 0; }
  double RawDouble();

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_offset = 0;
};

struct CallInput {
  std::size_t function;  // index among the published functions
  unsigned preparedArgs;
  unsigned resultRoom;
  std::vector<FakeArg> args;
};

// `kinds` are the kinds the function takes (N, B), which the draw favours.
CallInput ReadCall(ByteReader& reader, std::size_t functionCount,
                   const std::vector<const char*>& kindsOf);

// The numbers that the draw favours.
const std::vector<double>& SpecialNumbers();

}  // namespace noisebind::fuzz

#endif  // NOISEBIND_FUZZ_CALL_INPUT_H
