#include "libnoise_test.h"

#include "entry/registration.h"
#include "instances/shared_instances.h"

namespace noisebind::testing {

void ResetSharedInstances() {
  using namespace noise::module;
  auto& s = SharedInstances::billow;
  s.SetFrequency(DEFAULT_BILLOW_FREQUENCY);
  s.SetLacunarity(DEFAULT_BILLOW_LACUNARITY);
  s.SetNoiseQuality(DEFAULT_BILLOW_QUALITY);
  s.SetOctaveCount(DEFAULT_BILLOW_OCTAVE_COUNT);
  s.SetPersistence(DEFAULT_BILLOW_PERSISTENCE);
  s.SetSeed(DEFAULT_BILLOW_SEED);
  auto& p = SharedInstances::perlin;
  p.SetFrequency(DEFAULT_PERLIN_FREQUENCY);
  p.SetLacunarity(DEFAULT_PERLIN_LACUNARITY);
  p.SetNoiseQuality(DEFAULT_PERLIN_QUALITY);
  p.SetOctaveCount(DEFAULT_PERLIN_OCTAVE_COUNT);
  p.SetPersistence(DEFAULT_PERLIN_PERSISTENCE);
  p.SetSeed(DEFAULT_PERLIN_SEED);
  auto& r = SharedInstances::ridgedMulti;
  r.SetFrequency(DEFAULT_RIDGED_FREQUENCY);
  r.SetLacunarity(DEFAULT_RIDGED_LACUNARITY);
  r.SetNoiseQuality(DEFAULT_RIDGED_QUALITY);
  r.SetOctaveCount(DEFAULT_RIDGED_OCTAVE_COUNT);
  r.SetSeed(DEFAULT_RIDGED_SEED);
  auto& v = SharedInstances::voronoi;
  v.SetFrequency(DEFAULT_VORONOI_FREQUENCY);
  v.SetDisplacement(DEFAULT_VORONOI_DISPLACEMENT);
  v.EnableDistance(false);
  v.SetSeed(DEFAULT_VORONOI_SEED);
  SharedInstances::cylinders.SetFrequency(DEFAULT_CYLINDERS_FREQUENCY);
  SharedInstances::spheres.SetFrequency(DEFAULT_SPHERES_FREQUENCY);
  SharedInstances::curve.ClearControlPoints();
  SharedInstances::terrace.ClearControlPoints();
  SharedInstances::exponent.SetExponent(DEFAULT_DIRECT_EXPONENT);
  auto& t = SharedInstances::turbulence;
  t.SetFrequency(DEFAULT_DIRECT_TURBULENCE_FREQUENCY);
  t.SetPower(DEFAULT_DIRECT_TURBULENCE_POWER);
  t.SetRoughness(DEFAULT_DIRECT_TURBULENCE_ROUGHNESS);
  t.SetSeed(DEFAULT_DIRECT_TURBULENCE_SEED);
  LastDisplacedPoint = DisplacedPoint{0.0, 0.0, 0.0};
  auto& line = SharedInstances::line;
  line.model.SetAttenuate(true);
  line.model.SetStartPoint(0.0, 0.0, 0.0);
  line.model.SetEndPoint(1.0, 1.0, 1.0);
  line.source = ModuleCode::kNone;
  SharedInstances::plane.source = ModuleCode::kNone;
  SharedInstances::sphere.source = ModuleCode::kNone;
  SharedInstances::cylinder.source = ModuleCode::kNone;
}

void LibNoiseTest::SetUp() {
  host.Install();
  ExtensionInit(host.state());
  ResetSharedInstances();
}

void LibNoiseTest::TearDown() {
  ResetSharedInstances();
}

ScriptFunction LibNoiseTest::Function(const std::string& table, const std::string& key) const {
  const FakeTable* owner = host.global();
  if (!table.empty()) owner = owner->SubTable(table);
  if (owner == nullptr) return nullptr;
  return owner->Function(key);
}

CallOutcome LibNoiseTest::Call(const std::string& table, const std::string& key,
                               std::vector<FakeArg> args) {
  const ScriptFunction function = Function(table, key);
  if (function == nullptr) {
    ADD_FAILURE() << "no function " << table << "." << key;
    return CallOutcome{CallOutcome::kOtherException, 0, 0};
  }
  return host.Call(function, std::move(args));
}

double LibNoiseTest::Value(const std::string& table, const std::string& key,
                           std::vector<FakeArg> args) {
  const CallOutcome outcome = Call(table, key, std::move(args));
  EXPECT_EQ(outcome.kind, CallOutcome::kReturned);
  EXPECT_EQ(outcome.count, 1);
  const std::vector<double> numbers = host.Numbers();
  if (numbers.size() != 1) {
    ADD_FAILURE() << table << "." << key << " pushed " << numbers.size() << " numbers";
    return 0.0;
  }
  return numbers[0];
}

}  // namespace noisebind::testing
