// LatLonOnSphere's order: all five checks, then the bounds, then the rest.
#include <gtest/gtest.h>

#include "libnoise_test.h"

namespace noisebind {
namespace {

using testing::Num;

class LatLonOnSphere : public testing::LibNoiseTest {};

TEST_F(LatLonOnSphere, TestsBoundsAfterEveryCheckAndBeforeReadingThePoint) {
  const std::vector<std::string> refused = {
      "Resolve", "CheckArgType(1,2)", "Resolve", "CheckArgType(2,2)",
      "Resolve", "CheckArgType(3,2)", "Resolve", "CheckArgType(4,2)",
      "Resolve", "CheckArgType(5,2)", "Resolve", "ArgAsNumber(1)",
      "Resolve", "ArgAsNumber(2)",    "Resolve", "ScriptError",
  };
  EXPECT_EQ(Call("", "LatLonOnSphere", {Num(100), Num(500), Num(0), Num(0), Num(0)}).count, 0);
  EXPECT_EQ(host.log(), refused);
  EXPECT_EQ(host.errors().size(), 1u);
  EXPECT_NE(host.errors()[0].find("latitude"), std::string::npos);

  EXPECT_EQ(Call("", "LatLonOnSphere", {Num(0), Num(0), Num(7), Num(8), Num(9)}).count, 3);
  EXPECT_EQ(host.Numbers(), (std::vector<double>{1, 0, 0}));
}

}  // namespace
}  // namespace noisebind
