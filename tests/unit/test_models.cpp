// Choosing a model's source by code, and evaluating the models.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "instances/shared_instances.h"
#include "instances/source_selection.h"
#include "libnoise_test.h"
#include "modules/evaluation_errors.h"

namespace noisebind {
namespace {

using testing::CallOutcome;
using testing::FakeResult;
using testing::Num;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class Models : public testing::LibNoiseTest {
 protected:
  bool ReturnedTrue() const {
    return host.results().size() == 1 && host.results()[0].kind == FakeResult::kBoolean &&
           host.results()[0].truth;
  }
  bool ReturnedNil() const {
    return host.results().size() == 1 && host.results()[0].kind == FakeResult::kNil;
  }
};

TEST_F(Models, SetModuleTruncatesTheCodeAndSelectsThatInstance) {
  const std::pair<double, ModuleCode> cases[] = {
      {6, ModuleCode::kPerlin},   {6.99, ModuleCode::kPerlin}, {11, ModuleCode::kVoronoi},
      {1, ModuleCode::kBillow},   {9.5, ModuleCode::kTerrace}, {3, ModuleCode::kCurve},
      {5, ModuleCode::kExponent},
  };
  for (const auto& [code, expected] : cases) {
    for (const char* model : {"Line", "Plane", "Sphere", "Cylinder"}) {
      const CallOutcome outcome = Call(model, "SetModule", {Num(code)});
      EXPECT_EQ(outcome.count, 1);
      EXPECT_TRUE(ReturnedTrue()) << model << " " << code;
      EXPECT_TRUE(host.errors().empty());
    }
    EXPECT_EQ(SharedInstances::line.source, expected);
    EXPECT_EQ(SharedInstances::cylinder.source, expected);
  }
}

TEST_F(Models, SetModuleRefusesUnusableCodesAndKeepsTheSource) {
  Call("Sphere", "SetModule", {Num(6)});
  for (double code : {10.0, 0.0, 0.9, -1.0, 12.0, kNaN, kInf, -kInf, 1e300, 4294967302.0}) {
    const CallOutcome outcome = Call("Sphere", "SetModule", {Num(code)});
    EXPECT_EQ(outcome.count, 1) << code;
    EXPECT_TRUE(ReturnedNil()) << code;
    EXPECT_EQ(host.errors(), std::vector<std::string>{kInvalidModuleCodeError});
    EXPECT_EQ(SharedInstances::sphere.source, ModuleCode::kPerlin);
  }
}

TEST_F(Models, EachModelKeepsItsOwnSource) {
  Call("Line", "SetModule", {Num(6)});
  Call("Sphere", "SetModule", {Num(6)});
  Call("Sphere", "SetModule", {Num(1)});
  EXPECT_EQ(SharedInstances::line.source, ModuleCode::kPerlin);
  EXPECT_EQ(SharedInstances::sphere.source, ModuleCode::kBillow);
  EXPECT_EQ(SharedInstances::plane.source, ModuleCode::kNone);
}

TEST_F(Models, CalcWithoutASourceReportsItAndEvaluatesNothing) {
  const std::pair<const char*, std::vector<testing::FakeArg>> calls[] = {
      {"Line", {Num(0.5)}},
      {"Plane", {Num(1), Num(2)}},
      {"Sphere", {Num(10), Num(20)}},
      {"Cylinder", {Num(10), Num(2)}},
  };
  for (const auto& [model, args] : calls) {
    const CallOutcome outcome = Call(model, "Calc", args);
    EXPECT_EQ(outcome.count, 0) << model;
    EXPECT_TRUE(host.results().empty());
    ASSERT_EQ(host.errors().size(), 1u);
    const std::string& message = host.errors()[0];
    EXPECT_EQ(message.rfind("LibNoise ERROR: ", 0), 0u) << message;
    EXPECT_NE(message.find(std::string(model) + ".SetModule"), std::string::npos) << message;
    EXPECT_EQ(message.back(), '\n');
  }
}

TEST_F(Models, ASourceWithoutValueReportsTheModulesOwnError) {
  for (const char* model : {"Line", "Plane", "Sphere", "Cylinder"}) {
    Call(model, "SetModule", {Num(3)});
    Call(model, "Calc", {Num(0.5), Num(0.5)});
    EXPECT_EQ(host.errors(), std::vector<std::string>{kCurveWithoutPointsError}) << model;
    EXPECT_TRUE(host.results().empty());
    Call(model, "SetModule", {Num(9)});
    Call("M_Terrace", "AddPoint", {Num(std::string(model).size())});
    Call(model, "Calc", {Num(0.5), Num(0.5)});
    EXPECT_EQ(host.errors(), std::vector<std::string>{kTerraceTooFewPointsError}) << model;
    Call("M_Terrace", "Clear", {});
  }
}

TEST_F(Models, BoundsAreCheckedBeforeAnythingIsEvaluated) {
  Call("Line", "SetModule", {Num(6)});
  Call("Sphere", "SetModule", {Num(6)});
  Call("Cylinder", "SetModule", {Num(6)});
  const std::pair<const char*, std::vector<testing::FakeArg>> refused[] = {
      {"Line", {Num(-0.5)}},
      {"Line", {Num(1.5)}},
      {"Line", {Num(kNaN)}},
      {"Sphere", {Num(181), Num(0)}},
      {"Sphere", {Num(0), Num(-181)}},
      {"Cylinder", {Num(-1), Num(0)}},
      {"Cylinder", {Num(361), Num(1e9)}},
  };
  for (const auto& [model, args] : refused) {
    const CallOutcome outcome = Call(model, "Calc", args);
    EXPECT_EQ(outcome.count, 0);
    EXPECT_EQ(host.errors().size(), 1u) << model;
    EXPECT_EQ(host.log().back(), "ScriptError") << model;
  }
  const std::pair<const char*, std::vector<testing::FakeArg>> accepted[] = {
      {"Line", {Num(0)}},
      {"Line", {Num(1)}},
      {"Sphere", {Num(kNaN), Num(0)}},
      {"Sphere", {Num(-180), Num(180)}},
      {"Cylinder", {Num(kNaN), Num(0)}},
      {"Cylinder", {Num(360), Num(-1e9)}},
  };
  for (const auto& [model, args] : accepted) {
    const CallOutcome outcome = Call(model, "Calc", args);
    EXPECT_EQ(outcome.count, 1) << model;
    EXPECT_TRUE(host.errors().empty()) << model;
  }
}

TEST_F(Models, ModelsEvaluateTheSharedInstanceWithItsCurrentSettings) {
  Call("Plane", "SetModule", {Num(6)});
  const double before = Value("Plane", "Calc", {Num(0.3), Num(0.7)});
  EXPECT_EQ(before, static_cast<float>(SharedInstances::perlin.GetValue(0.3, 0, 0.7)));
  Call("M_Perlin", "SetFrequency", {Num(2)});
  const double after = Value("Plane", "Calc", {Num(0.3), Num(0.7)});
  EXPECT_NE(before, after);
  EXPECT_EQ(after, static_cast<float>(SharedInstances::perlin.GetValue(0.3, 0, 0.7)));
}

}  // namespace
}  // namespace noisebind
