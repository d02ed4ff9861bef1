// Every script function, through the recording host: a Resolve before each
// operation, all argument checks in index order before any read, only checked
// arguments read, as many results pushed as returned, and nothing read or
// done after a refused check.
#include <gtest/gtest.h>

#include <cstdlib>

#include "libnoise_test.h"

namespace noisebind::testing {
namespace {

struct Signature {
  const char* table;  // empty for the functions stored in LibNoise itself
  const char* key;
  const char* args;  // one letter per argument: N number, B boolean
};

const Signature kSignatures[] = {
    {"", "InterpolateLinear", "NNN"},
    {"", "InterpolateCubic", "NNNNN"},
    {"", "Gradient3DNoise", "NNNNNNN"},
    {"", "GradientCoherent3DNoise", "NNNNN"},
    {"", "Coherent3DNoise", "NNNNN"},
    {"", "3DNoise", "NNNNN"},
    {"", "Int3DNoise", "NNNN"},
    {"", "LatLonOnSphere", "NNNNN"},
    {"", "SCurve3", "N"},
    {"", "SCurve5", "N"},
    {"Line", "SetAttenuation", "B"},
    {"Line", "SetStartPoint", "NNN"},
    {"Line", "SetEndPoint", "NNN"},
    {"Line", "SetModule", "N"},
    {"Line", "Calc", "N"},
    {"Plane", "SetModule", "N"},
    {"Plane", "Calc", "NN"},
    {"Sphere", "SetModule", "N"},
    {"Sphere", "Calc", "NN"},
    {"Cylinder", "SetModule", "N"},
    {"Cylinder", "Calc", "NN"},
    {"M_Billow", "SetFrequency", "N"},
    {"M_Billow", "SetLacunarity", "N"},
    {"M_Billow", "SetNoiseQuality", "N"},
    {"M_Billow", "SetOctaveCount", "N"},
    {"M_Billow", "SetPersistence", "N"},
    {"M_Billow", "SetSeed", "N"},
    {"M_Billow", "Calc", "NNN"},
    {"M_CBoard", "Calc", "NNN"},
    {"M_Curve", "AddPoint", "NN"},
    {"M_Curve", "Clear", ""},
    {"M_Curve", "Calc", "N"},
    {"M_Cylinders", "SetFrequency", "N"},
    {"M_Cylinders", "Calc", "NN"},
    {"M_Exponent", "SetExponent", "N"},
    {"M_Exponent", "Calc", "N"},
    {"M_Perlin", "SetFrequency", "N"},
    {"M_Perlin", "SetLacunarity", "N"},
    {"M_Perlin", "SetNoiseQuality", "N"},
    {"M_Perlin", "SetOctaveCount", "N"},
    {"M_Perlin", "SetPersistence", "N"},
    {"M_Perlin", "SetSeed", "N"},
    {"M_Perlin", "Calc", "NNN"},
    {"M_RidgedMulti", "SetFrequency", "N"},
    {"M_RidgedMulti", "SetLacunarity", "N"},
    {"M_RidgedMulti", "SetNoiseQuality", "N"},
    {"M_RidgedMulti", "SetOctaveCount", "N"},
    {"M_RidgedMulti", "SetSeed", "N"},
    {"M_RidgedMulti", "Calc", "NNN"},
    {"M_Spheres", "SetFrequency", "N"},
    {"M_Spheres", "Calc", "NNN"},
    {"M_Terrace", "AddPoint", "N"},
    {"M_Terrace", "Clear", ""},
    {"M_Terrace", "Calc", "N"},
    {"M_Turbulence", "SetFrequency", "N"},
    {"M_Turbulence", "SetPower", "N"},
    {"M_Turbulence", "SetRoughness", "N"},
    {"M_Turbulence", "SetSeed", "N"},
    {"M_Turbulence", "Calc", "NNN"},
    {"M_Voronoi", "SetFrequency", "N"},
    {"M_Voronoi", "SetDisplacement", "N"},
    {"M_Voronoi", "EnableDistance", "B"},
    {"M_Voronoi", "SetSeed", "N"},
    {"M_Voronoi", "Calc", "NNN"},
};

std::string Name(const Signature& signature) {
  return std::string(signature.table) + "." + signature.key;
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// The argument index of a logged CheckArgType or ArgAs... entry.
int IndexOf(const std::string& entry) {
  return std::atoi(entry.c_str() + entry.find('(') + 1);
}

std::vector<FakeArg> ValidArgs(const char* kinds) {
  std::vector<FakeArg> args;
  for (const char* kind = kinds; *kind != '\0'; ++kind) {
    args.push_back(*kind == 'B' ? Bool(true) : Num(1.0));
  }
  return args;
}

class CallShape : public LibNoiseTest {};

TEST_F(CallShape, EveryFunctionIsRegisteredAndChecksItsArgumentsFirst) {
  host.SetPermissive(true);
  for (const Signature& signature : kSignatures) {
    SCOPED_TRACE(Name(signature));
    // More arguments than any function takes: the extra ones stay untouched.
    const CallOutcome outcome =
        Call(signature.table, signature.key, std::vector<FakeArg>(9, Num(1.0)));
    ASSERT_EQ(outcome.kind, CallOutcome::kReturned);
    const std::vector<std::string>& log = host.log();

    std::string checked;
    bool readSeen = false;
    for (size_t i = 0; i < log.size(); ++i) {
      const std::string& entry = log[i];
      if (entry == "Resolve") continue;
      EXPECT_TRUE(i > 0 && log[i - 1] == "Resolve") << "no Resolve before " << entry;
      if (StartsWith(entry, "CheckArgType")) {
        EXPECT_FALSE(readSeen) << "check after a read: " << entry;
        EXPECT_EQ(IndexOf(entry), static_cast<int>(checked.size()) + 1) << entry;
        checked += entry.find(",4)") != std::string::npos ? 'B' : 'N';
      } else if (StartsWith(entry, "ArgAs")) {
        readSeen = true;
        EXPECT_LE(IndexOf(entry), static_cast<int>(checked.size())) << "unchecked read " << entry;
      }
    }
    EXPECT_EQ(checked, signature.args);
    EXPECT_EQ(outcome.count, static_cast<int>(host.results().size()));
    ResetSharedInstances();
  }
}

TEST_F(CallShape, ARefusedArgumentStopsTheFunctionBeforeAnyRead) {
  for (const Signature& signature : kSignatures) {
    const std::vector<FakeArg> valid = ValidArgs(signature.args);
    for (size_t refused = 0; refused < valid.size(); ++refused) {
      for (const FakeArg& bad : {FakeArg{}, Nil(), Str(), Table(),
                                 signature.args[refused] == 'B' ? Num(1.0) : Bool(true)}) {
        SCOPED_TRACE(Name(signature) + " argument " + std::to_string(refused + 1) + " of kind " +
                     std::to_string(bad.kind));
        std::vector<FakeArg> args = valid;
        args[refused] = bad;
        if (bad.kind == FakeArg::kNone) args.resize(refused);
        const CallOutcome outcome = Call(signature.table, signature.key, args);
        ASSERT_EQ(outcome.kind, CallOutcome::kArgumentRefused);
        EXPECT_EQ(outcome.refusedIndex, static_cast<int>(refused) + 1);
        for (const std::string& entry : host.log()) {
          EXPECT_TRUE(entry == "Resolve" || StartsWith(entry, "CheckArgType")) << entry;
        }
        EXPECT_TRUE(host.results().empty());
      }
    }
  }
}

}  // namespace
}  // namespace noisebind::testing
