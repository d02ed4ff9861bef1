// Choosing the path: by name, by ForceIsa and by NOISEBIND_SIMD.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <string>

#include "noisebind/simd/evaluate.h"
#include "noisebind/simd/isa.h"

namespace noisebind::simd {
namespace {

constexpr Isa kAll[] = {Isa::portable, Isa::avx2, Isa::avx512};

// Sets NOISEBIND_SIMD for one test and puts the previous value back.
class Environment : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = getenv("NOISEBIND_SIMD");
    hadValue_ = old != nullptr;
    if (hadValue_) saved_ = old;
  }
  void TearDown() override {
    if (hadValue_) {
      setenv("NOISEBIND_SIMD", saved_.c_str(), 1);
    } else {
      unsetenv("NOISEBIND_SIMD");
    }
    ResetIsa();
  }
  // The path chosen for `value`, and what was written to standard error.
  Isa ChooseWith(const char* value, std::string& warning) {
    setenv("NOISEBIND_SIMD", value, 1);
    ::testing::internal::CaptureStderr();
    ResetIsa();
    warning = ::testing::internal::GetCapturedStderr();
    return ActiveIsa();
  }

 private:
  bool hadValue_ = false;
  std::string saved_;
};

TEST(Isa, NamesRoundTrip) {
  for (Isa isa : kAll) EXPECT_EQ(ParseIsa(IsaName(isa)), isa);
  for (const char* unknown : {"", "AVX2", "sse2", "avx512f", "auto"}) {
    EXPECT_FALSE(ParseIsa(unknown).has_value()) << unknown;
  }
}

TEST(Isa, BestIsTheFastestSupported) {
  EXPECT_TRUE(IsaSupported(Isa::portable));
  Isa best = Isa::portable;
  for (Isa isa : kAll) {
    if (IsaSupported(isa)) best = isa;
  }
  EXPECT_EQ(BestIsa(), best);
}

TEST(Isa, ForceTakesOnlySupportedPaths) {
  for (Isa isa : kAll) {
    ASSERT_TRUE(ForceIsa(Isa::portable));
    EXPECT_EQ(ForceIsa(isa), IsaSupported(isa)) << IsaName(isa);
    EXPECT_EQ(ActiveIsa(), IsaSupported(isa) ? isa : Isa::portable) << IsaName(isa);
  }
  ResetIsa();
}

TEST_F(Environment, NamesAPath) {
  std::string warning;
  for (Isa isa : kAll) {
    if (!IsaSupported(isa)) continue;
    EXPECT_EQ(ChooseWith(IsaName(isa), warning), isa);
    EXPECT_EQ(warning, "");
  }
  EXPECT_EQ(ChooseWith("auto", warning), BestIsa());
  EXPECT_EQ(ChooseWith("", warning), BestIsa());
  EXPECT_EQ(warning, "");
}

TEST_F(Environment, RefusesUnknownAndUnsupportedPaths) {
  std::string warning;
  EXPECT_EQ(ChooseWith("fastest", warning), BestIsa());
  EXPECT_EQ(warning, std::string("noisebind: NOISEBIND_SIMD=fastest refused (not a path this "
                                 "processor runs); using ") +
                         IsaName(BestIsa()) + "\n");
  for (Isa isa : kAll) {
    if (IsaSupported(isa)) continue;
    EXPECT_EQ(ChooseWith(IsaName(isa), warning), BestIsa());
    EXPECT_NE(warning, "");
  }
}

TEST(Settings, ReadFromTheModules) {
  noise::module::Perlin perlin;
  perlin.SetFrequency(1.5);
  perlin.SetLacunarity(2.25);
  perlin.SetPersistence(0.4);
  perlin.SetOctaveCount(9);
  perlin.SetSeed(-17);
  perlin.SetNoiseQuality(noise::QUALITY_BEST);
  const FractalSettings f = SettingsOf(perlin);
  EXPECT_EQ(f.frequency, 1.5);
  EXPECT_EQ(f.lacunarity, 2.25);
  EXPECT_EQ(f.persistence, 0.4);
  EXPECT_EQ(f.octaveCount, 9);
  EXPECT_EQ(f.seed, -17);
  EXPECT_EQ(f.quality, noise::QUALITY_BEST);

  noise::module::RidgedMulti ridged;
  ridged.SetOctaveCount(0);
  ridged.SetLacunarity(3.0);
  EXPECT_EQ(SettingsOf(ridged).octaveCount, 0);
  EXPECT_EQ(SettingsOf(ridged).lacunarity, 3.0);

  // IsDistanceEnabled is protected in libnoise; the batch still sees it.
  noise::module::Voronoi voronoi;
  EXPECT_FALSE(SettingsOf(voronoi).enableDistance);
  voronoi.EnableDistance(true);
  voronoi.SetDisplacement(0.25);
  voronoi.SetSeed(3);
  const VoronoiSettings v = SettingsOf(voronoi);
  EXPECT_TRUE(v.enableDistance);
  EXPECT_EQ(v.displacement, 0.25);
  EXPECT_EQ(v.seed, 3);
}

// The settings overloads need no module: defaults are libnoise's.
TEST(Settings, DefaultsAreTheLibrarys) {
  const double x[] = {0.3, -7.1, 12.5}, y[] = {1.1, 0.0, -3.0}, z[] = {-0.2, 4.4, 9.9};
  const Points points{x, y, z, 3};
  using Batch = void (*)(const Points&, double*);
  const struct {
    const char* name;
    Batch fromSettings, fromModule;
  } rows[] = {
      {"Perlin", [](const Points& p, double* out) { EvaluatePerlin({}, p, out); },
       [](const Points& p, double* out) { Evaluate(noise::module::Perlin{}, p, out); }},
      {"Billow", [](const Points& p, double* out) { EvaluateBillow({}, p, out); },
       [](const Points& p, double* out) { Evaluate(noise::module::Billow{}, p, out); }},
      {"RidgedMulti", [](const Points& p, double* out) { EvaluateRidgedMulti({}, p, out); },
       [](const Points& p, double* out) { Evaluate(noise::module::RidgedMulti{}, p, out); }},
      {"Voronoi", [](const Points& p, double* out) { EvaluateVoronoi({}, p, out); },
       [](const Points& p, double* out) { Evaluate(noise::module::Voronoi{}, p, out); }},
  };
  for (const auto& row : rows) {
    double fromSettings[3], fromModule[3];
    row.fromSettings(points, fromSettings);
    row.fromModule(points, fromModule);
    EXPECT_EQ(0, std::memcmp(fromSettings, fromModule, sizeof fromModule)) << row.name;
  }
}

}  // namespace
}  // namespace noisebind::simd
