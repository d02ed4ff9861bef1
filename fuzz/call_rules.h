// What each script function should do with arguments of the right kinds:
// its results, its error, the library's refusal, and its effect on the
// settings. Written from the functions' documented behaviour, not from
// their code, so that the fuzzer can hold every call against it.
#ifndef NOISEBIND_FUZZ_CALL_RULES_H
#define NOISEBIND_FUZZ_CALL_RULES_H

#include <string>
#include <vector>

#include "fake_host.h"
#include "settings_snapshot.h"

namespace noisebind::fuzz {

using testing::FakeArg;

struct Prediction {
  bool invalidParam = false;    // the library refuses the value
  std::string results;          // one letter per result: n number, t true, 0 nil
  const char* error = nullptr;  // text the script error must contain; none when null
  FieldSet unpredicted;         // settings that may change in ways not predicted
};

struct CallRule {
  const char* table;  // empty for the functions stored in LibNoise itself
  const char* key;
  const char* kinds;  // one letter per argument: N number, B boolean
  // Given arguments of the right kinds and the settings before the call,
  // gives the outcome and turns `settings` into those after it.
  Prediction (*predict)(const std::vector<FakeArg>& args, Settings& settings);
};

// One rule for every function the extension publishes.
const std::vector<CallRule>& CallRules();

// A script number as the extension turns it into a 32-bit integer.
int ToInteger(double value);

}  // namespace noisebind::fuzz

#endif  // NOISEBIND_FUZZ_CALL_RULES_H
