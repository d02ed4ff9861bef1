// Runs sequences of script calls, drawn from the fuzzer's input, through the
// recording host against the real extension code, and holds every call
// against its rule: the refusal of a wrong argument, the results, the
// error, the library's refusal, and what the settings became. Any mismatch
// aborts, which the fuzzer reports as a finding. Inputs that start with the
// noise-table marker drive the `noise` table in a Lua state instead, with
// finalizers that change graphs mid-call (script_noise_calls.cpp).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "call_input.h"
#include "call_rules.h"
#include "entry/registration.h"
#include "libnoise_test.h"
#include "settings_snapshot.h"
#ifdef NOISEBIND_FUZZ_NOISE_TABLE
#include "script_noise_calls.h"
#endif

namespace noisebind::fuzz {
namespace {

using testing::CallOutcome;
using testing::FakeResult;

// Keeps inputs quick: control points are copied on every insertion.
constexpr int kMaxCalls = 64;
constexpr std::size_t kMaxControlPoints = 32;

struct Published {
  std::string name;
  ScriptFunction function;
  const CallRule* rule;
};

struct Harness {
  testing::FakeHost host;
  std::vector<Published> functions;
  std::vector<const char*> kinds;
};

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "script-call check failed: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

const CallRule* RuleFor(const std::string& table, const std::string& key) {
  for (const CallRule& rule : CallRules()) {
    if (table == rule.table && key == rule.key) return &rule;
  }
  Fail("no rule for the published function " + table + "." + key);
}

void Publish(Harness& harness, const std::string& table, const testing::FakeTable& functions) {
  for (const testing::FakeTable::Entry& entry : functions.entries()) {
    if (entry.kind != testing::FakeTable::Entry::kFunction) continue;
    const CallRule* rule = RuleFor(table, entry.key);
    harness.functions.push_back(Published{table + "." + entry.key, entry.function, rule});
    harness.kinds.push_back(rule->kinds);
  }
}

// Every function the extension publishes, found the way a script finds it.
Harness& TheHarness() {
  static Harness* harness = [] {
    auto* made = new Harness;
    made->host.Install();
    ExtensionInit(made->host.state());
    const testing::FakeTable* global = made->host.global();
    if (global == nullptr) Fail("the extension published no LibNoise table");
    Publish(*made, "", *global);
    for (const testing::FakeTable::Entry& entry : global->entries()) {
      if (entry.kind == testing::FakeTable::Entry::kTable) Publish(*made, entry.key, *entry.table);
    }
    if (made->functions.size() != CallRules().size()) Fail("a function with a rule is missing");
    return made;
  }();
  return *harness;
}

std::string Describe(const Published& function, const std::vector<FakeArg>& args) {
  std::string text = function.name + "(";
  for (std::size_t i = 0; i < args.size(); ++i) {
    char buffer[48];
    switch (args[i].kind) {
      case FakeArg::kNumber:
        std::snprintf(buffer, sizeof(buffer), "%.17g", args[i].number);
        break;
      case FakeArg::kBoolean:
        std::snprintf(buffer, sizeof(buffer), "%s", args[i].truth ? "true" : "false");
        break;
      case FakeArg::kNil:
        std::snprintf(buffer, sizeof(buffer), "nil");
        break;
      default:
        std::snprintf(buffer, sizeof(buffer), "<%s>",
                      args[i].kind == FakeArg::kString ? "string" : "table");
        break;
    }
    text += (i > 0 ? ", " : "") + std::string(buffer);
  }
  return text + ")";
}

// The index of the first argument that is missing or of the wrong kind, 0
// when all are right.
int FirstWrongArgument(const char* kinds, const std::vector<FakeArg>& args) {
  for (int i = 0; kinds[i] != '\0'; ++i) {
    const FakeArg::Kind wanted = kinds[i] == 'B' ? FakeArg::kBoolean : FakeArg::kNumber;
    if (static_cast<std::size_t>(i) >= args.size() || args[i].kind != wanted) return i + 1;
  }
  return 0;
}

std::string ResultLetters(const std::vector<FakeResult>& results) {
  std::string letters;
  for (const FakeResult& result : results) {
    letters += result.kind == FakeResult::kNumber ? 'n'
               : result.kind == FakeResult::kNil  ? '0'
               : result.truth                     ? 't'
                                                  : 'f';
  }
  return letters;
}

bool WellFormedError(const std::string& text) {
  static const std::string prefix = "LibNoise ERROR: ";
  return text.compare(0, prefix.size(), prefix) == 0 && text.size() > prefix.size() &&
         text.back() == '\n';
}

// What is wrong with a call refused for argument `wrong`; empty if nothing.
std::string RefusalProblem(const testing::FakeHost& host, const CallOutcome& outcome, int wrong) {
  if (outcome.kind != CallOutcome::kArgumentRefused || outcome.refusedIndex != wrong) {
    return "argument " + std::to_string(wrong) + " was not refused";
  }
  if (!host.results().empty() || !host.errors().empty()) {
    return "pushed a result or reported an error before the refusal";
  }
  for (const std::string& entry : host.log()) {
    if (entry != "Resolve" && entry.compare(0, 12, "CheckArgType") != 0) {
      return "did " + entry + " before its arguments were all checked";
    }
  }
  return {};
}

// What differs between the call's outcome and its rule's; empty if nothing.
std::string OutcomeProblem(const testing::FakeHost& host, const CallOutcome& outcome,
                           const Prediction& prediction) {
  if (prediction.invalidParam) {
    if (outcome.kind != CallOutcome::kInvalidParam) return "the library did not refuse";
    if (!host.results().empty() || !host.errors().empty()) return "pushed before refusing";
    return {};
  }
  if (outcome.kind != CallOutcome::kReturned) {
    return "threw (outcome " + std::to_string(outcome.kind) + ")";
  }
  const std::string letters = ResultLetters(host.results());
  if (letters != prediction.results || outcome.count != static_cast<int>(letters.size())) {
    return "returned " + std::to_string(outcome.count) + " with results '" + letters +
           "', expected '" + prediction.results + "'";
  }
  if (prediction.error == nullptr) {
    return host.errors().empty() ? std::string() : "unexpected error " + host.errors()[0];
  }
  if (host.errors().size() != 1 || !WellFormedError(host.errors()[0]) ||
      host.errors()[0].find(prediction.error) == std::string::npos) {
    return std::string("expected one error about '") + prediction.error + "', got " +
           (host.errors().empty() ? std::string("none") : host.errors()[0]);
  }
  return {};
}

void RunCall(Harness& harness, const CallInput& input) {
  const Published& function = harness.functions[input.function];
  const Settings before = TakeSnapshot();
  const std::string& key = function.rule->key;
  if (key == std::string("AddPoint") &&
      std::max(before.curve.size(), before.terrace.size()) >= kMaxControlPoints) {
    return;
  }
  harness.host.SetPrepared(input.preparedArgs, input.resultRoom);
  const CallOutcome outcome = harness.host.Call(function.function, input.args);
  const Settings after = TakeSnapshot();

  Settings expected = before;
  FieldSet unpredicted;
  std::string problem;
  if (const int wrong = FirstWrongArgument(function.rule->kinds, input.args)) {
    problem = RefusalProblem(harness.host, outcome, wrong);
  } else {
    const Prediction prediction = function.rule->predict(input.args, expected);
    problem = OutcomeProblem(harness.host, outcome, prediction);
    unpredicted = prediction.unpredicted;
  }
  if (problem.empty()) {
    const std::string differences = Differences(expected, after, unpredicted);
    if (!differences.empty()) problem = "settings differ:" + differences;
  }
  if (!problem.empty()) Fail(Describe(function, input.args) + ": " + problem);
}

}  // namespace
}  // namespace noisebind::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace noisebind::fuzz;
#ifdef NOISEBIND_FUZZ_NOISE_TABLE
  if (size > 0 && data[0] >= kNoiseTableMarker) {
    RunNoiseTableCalls(data + 1, size - 1);
    return 0;
  }
#endif
  Harness& harness = TheHarness();
  noisebind::testing::ResetSharedInstances();
  ByteReader reader(data, size);
  for (int n = 0; n < kMaxCalls && !reader.Empty(); ++n) {
    RunCall(harness, ReadCall(reader, harness.functions.size(), harness.kinds));
  }
  return 0;
}
