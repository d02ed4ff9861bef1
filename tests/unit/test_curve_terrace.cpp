// The control-point modules, on their own and through their tables.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "instances/shared_instances.h"
#include "libnoise_test.h"
#include "modules/direct_curve.h"
#include "modules/direct_terrace.h"
#include "modules/evaluation_errors.h"

namespace noisebind {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<double> Inputs(const DirectCurve& curve) {
  std::vector<double> inputs;
  for (int i = 0; i < curve.GetControlPointCount(); ++i) {
    inputs.push_back(curve.GetControlPointArray()[i].input);
  }
  return inputs;
}

std::vector<double> Values(const DirectTerrace& terrace) {
  const double* values = terrace.GetControlPointArray();
  return std::vector<double>(values, values + terrace.GetControlPointCount());
}

TEST(DirectCurve, KeepsPointsInOrderOfInputWhateverTheOrderAdded) {
  DirectCurve curve;
  EXPECT_EQ(curve.GetSourceModuleCount(), 1);
  curve.AddControlPoint(1, 10);
  curve.AddControlPoint(-1, -10);
  curve.AddControlPoint(0, 0);
  EXPECT_EQ(Inputs(curve), (std::vector<double>{-1, 0, 1}));
  EXPECT_EQ(curve.GetControlPointArray()[0].output, -10);
}

TEST(DirectCurve, RefusesADuplicateInputWithoutChangingAnything) {
  DirectCurve curve;
  curve.AddControlPoint(0, 1);
  curve.AddControlPoint(2, 3);
  EXPECT_THROW(curve.AddControlPoint(2, 99), noise::ExceptionInvalidParam);
  EXPECT_EQ(Inputs(curve), (std::vector<double>{0, 2}));
  EXPECT_EQ(curve.GetValue(2, 0, 0), 3);
  curve.ClearControlPoints();
  EXPECT_EQ(curve.GetControlPointCount(), 0);
  EXPECT_EQ(curve.GetControlPointArray(), nullptr);
  curve.AddControlPoint(2, 99);
  EXPECT_EQ(curve.GetValue(2, 0, 0), 99);
}

TEST(DirectCurve, NaNInputsAreAcceptedAndStayWhereTheyLanded) {
  DirectCurve curve;
  curve.AddControlPoint(0, 0);
  curve.AddControlPoint(kNaN, 5);
  curve.AddControlPoint(kNaN, 6);  // never equal to the first NaN
  curve.AddControlPoint(10, 7);
  curve.AddControlPoint(-5, 8);
  const std::vector<double> inputs = Inputs(curve);
  ASSERT_EQ(inputs.size(), 5u);
  EXPECT_EQ(inputs[0], -5);
  EXPECT_EQ(inputs[1], 0);
  EXPECT_TRUE(std::isnan(inputs[2]) && std::isnan(inputs[3]));
  EXPECT_EQ(inputs[4], 10);
}

TEST(DirectCurve, EvaluatesTheWorkedValues) {
  DirectCurve one;
  one.AddControlPoint(3, 4);
  for (double x : {-1e9, 3.0, 7.0, kNaN}) EXPECT_EQ(one.GetValue(x, 1, 2), 4) << x;

  DirectCurve line;
  line.AddControlPoint(0, 0);
  line.AddControlPoint(1, 2);
  EXPECT_DOUBLE_EQ(line.GetValue(0.25, 0, 0), 0.5);
  EXPECT_EQ(line.GetValue(-1, 0, 0), 0);
  EXPECT_EQ(line.GetValue(1, 0, 0), 2);
  EXPECT_EQ(line.GetValue(5, 0, 0), 2);

  DirectCurve wave;
  for (auto [input, output] : {std::pair{-1.0, -1.0}, {0.0, 0.0}, {1.0, 1.0}, {2.0, 0.0}}) {
    wave.AddControlPoint(input, output);
  }
  EXPECT_DOUBLE_EQ(wave.GetValue(0.5, 0, 0), 0.75);
  EXPECT_DOUBLE_EQ(wave.GetValue(1.5, 0, 0), 0.625);
  EXPECT_EQ(wave.GetValue(1.0, 0, 0), 1.0);  // on a control point: its output exactly
  EXPECT_EQ(wave.GetValue(2.0, 0, 0), 0.0);
  EXPECT_EQ(wave.GetValue(kNaN, 0, 0), 0.0);  // NaN is below no point: the last output
  EXPECT_EQ(wave.GetValue(0.5, 9, 9), wave.GetValue(0.5, -3, 4));
}

TEST(DirectCurve, WithoutPointsItCannotBeEvaluatedAndReadsNothing) {
  DirectCurve curve;
  EXPECT_FALSE(curve.CanEvaluate());
  EXPECT_EQ(curve.GetValue(0.5, 0, 0), 0.0);
  curve.AddControlPoint(1, 1);
  EXPECT_TRUE(curve.CanEvaluate());
}

TEST(DirectTerrace, KeepsValuesSortedAndRefusesDuplicates) {
  DirectTerrace terrace;
  EXPECT_EQ(terrace.GetSourceModuleCount(), 1);
  terrace.AddControlPoint(0.5);
  terrace.AddControlPoint(-1);
  terrace.AddControlPoint(1);
  EXPECT_EQ(Values(terrace), (std::vector<double>{-1, 0.5, 1}));
  EXPECT_THROW(terrace.AddControlPoint(0.5), noise::ExceptionInvalidParam);
  EXPECT_EQ(Values(terrace), (std::vector<double>{-1, 0.5, 1}));
  terrace.ClearControlPoints();
  EXPECT_TRUE(Values(terrace).empty());
  terrace.AddControlPoint(0.5);
  EXPECT_EQ(Values(terrace), (std::vector<double>{0.5}));
}

TEST(DirectTerrace, EvaluatesTheWorkedValues) {
  DirectTerrace terrace;
  EXPECT_FALSE(terrace.CanEvaluate());
  EXPECT_EQ(terrace.GetValue(1, 0, 0), 0.0);
  terrace.AddControlPoint(-1);
  EXPECT_FALSE(terrace.CanEvaluate());
  EXPECT_EQ(terrace.GetValue(3, 0, 0), -1);
  terrace.AddControlPoint(1);
  EXPECT_TRUE(terrace.CanEvaluate());
  EXPECT_DOUBLE_EQ(terrace.GetValue(0, 0, 0), -0.5);
  EXPECT_EQ(terrace.GetValue(-1, 0, 0), -1);
  EXPECT_EQ(terrace.GetValue(5, 0, 0), 1);
  EXPECT_EQ(terrace.GetValue(-5, 0, 0), -1);
  EXPECT_EQ(terrace.GetValue(kNaN, 0, 0), 1);
  terrace.AddControlPoint(0);
  EXPECT_DOUBLE_EQ(terrace.GetValue(0.5, 7, 7), 0.25);
}

using testing::Bool;
using testing::CallOutcome;
using testing::Num;

class ControlPointTables : public testing::LibNoiseTest {};

TEST_F(ControlPointTables, CalcWithoutEnoughPointsReportsWhatIsMissing) {
  const CallOutcome curve = Call("M_Curve", "Calc", {Num(0.5)});
  EXPECT_EQ(curve.kind, CallOutcome::kReturned);
  EXPECT_EQ(curve.count, 0);
  EXPECT_TRUE(host.results().empty());
  EXPECT_EQ(host.errors(), std::vector<std::string>{kCurveWithoutPointsError});

  Call("M_Terrace", "AddPoint", {Num(1)});
  const CallOutcome terrace = Call("M_Terrace", "Calc", {Num(0.5)});
  EXPECT_EQ(terrace.count, 0);
  EXPECT_TRUE(host.results().empty());
  EXPECT_EQ(host.errors(), std::vector<std::string>{kTerraceTooFewPointsError});

  for (const char* message : {kCurveWithoutPointsError, kTerraceTooFewPointsError}) {
    const std::string text = message;
    EXPECT_EQ(text.rfind("LibNoise ERROR: ", 0), 0u);
    EXPECT_EQ(text.back(), '\n');
  }
}

TEST_F(ControlPointTables, ARefusedPointReachesTheHostAndChangesNothing) {
  Call("M_Curve", "AddPoint", {Num(0), Num(1)});
  EXPECT_EQ(Call("M_Curve", "AddPoint", {Num(0), Num(5)}).kind, CallOutcome::kInvalidParam);
  EXPECT_EQ(Value("M_Curve", "Calc", {Num(0)}), 1);
  EXPECT_EQ(SharedInstances::curve.GetControlPointCount(), 1);

  Call("M_Terrace", "AddPoint", {Num(2)});
  EXPECT_EQ(Call("M_Terrace", "AddPoint", {Num(2.0)}).kind, CallOutcome::kInvalidParam);
  EXPECT_EQ(SharedInstances::terrace.GetControlPointCount(), 1);
}

TEST_F(ControlPointTables, ClearAsksNothingOfTheHost) {
  Call("M_Curve", "AddPoint", {Num(0), Num(1)});
  for (const char* table : {"M_Curve", "M_Terrace"}) {
    const CallOutcome outcome = Call(table, "Clear", {Num(1), Bool(true)});
    EXPECT_EQ(outcome.count, 0);
    EXPECT_TRUE(host.log().empty()) << table;
  }
  EXPECT_EQ(SharedInstances::curve.GetControlPointCount(), 0);
}

}  // namespace
}  // namespace noisebind
