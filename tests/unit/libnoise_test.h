// Fixture for tests that call script functions through the fake host.
#ifndef NOISEBIND_TESTS_LIBNOISE_TEST_H
#define NOISEBIND_TESTS_LIBNOISE_TEST_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"

namespace noisebind::testing {

// Puts every shared instance back to its state at load: the settings are
// process-wide, and each test starts from the same place.
void ResetSharedInstances();

class LibNoiseTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The function stored under `key` in the sub-table `table` of LibNoise, or
  // in LibNoise itself when `table` is empty.
  ScriptFunction Function(const std::string& table, const std::string& key) const;
  CallOutcome Call(const std::string& table, const std::string& key, std::vector<FakeArg> args);
  // Calls a function that returns one number, and gives it.
  double Value(const std::string& table, const std::string& key, std::vector<FakeArg> args);

  FakeHost host;
};

}  // namespace noisebind::testing

#endif  // NOISEBIND_TESTS_LIBNOISE_TEST_H
