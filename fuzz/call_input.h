// Turns fuzzer bytes into script calls: which function, how the host
// prepares the call, and each argument, with numbers drawn mostly from the
// values where the functions' rules change.
#ifndef NOISEBIND_FUZZ_CALL_INPUT_H
#define NOISEBIND_FUZZ_CALL_INPUT_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "byte_reader.h"
#include "fake_host.h"

namespace noisebind::fuzz {

using testing::FakeArg;

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
