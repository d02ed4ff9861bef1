// Loads and unloads the extension many times in one process, as a host that
// reloads its plug-ins does. Each cycle opens two script states on the
// loaded library, adds control points and evaluates through them, then
// closes the states and unloads the library. The lifetime trace of the
// traced build must show every shared instance built at each load and the
// modules torn down in reverse at each unload; the library must be gone
// after each unload, and the curve must start empty again. Run under the
// sanitizers or valgrind, this is also the leak test of a load.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/extension_library.h"
#include "host/script_host.h"
#include "stderr_capture.h"

namespace {

using noisebind::reliability::StderrCapture;

constexpr char kConstructed[] =
    "noisebind: construct Line\n"
    "noisebind: construct Plane\n"
    "noisebind: construct Sphere\n"
    "noisebind: construct Cylinder\n"
    "noisebind: construct Billow\n"
    "noisebind: construct Checkerboard\n"
    "noisebind: construct Curve\n"
    "noisebind: construct Cylinders\n"
    "noisebind: construct Exponent\n"
    "noisebind: construct Perlin\n"
    "noisebind: construct RidgedMulti\n"
    "noisebind: construct Spheres\n"
    "noisebind: construct Terrace\n"
    "noisebind: construct Turbulence\n"
    "noisebind: construct Voronoi\n";

// The models have nothing to tear down.
constexpr char kDestroyed[] =
    "noisebind: destroy Voronoi\n"
    "noisebind: destroy Turbulence\n"
    "noisebind: destroy Terrace\n"
    "noisebind: destroy Spheres\n"
    "noisebind: destroy RidgedMulti\n"
    "noisebind: destroy Perlin\n"
    "noisebind: destroy Exponent\n"
    "noisebind: destroy Cylinders\n"
    "noisebind: destroy Curve\n"
    "noisebind: destroy Checkerboard\n"
    "noisebind: destroy Billow\n";

// The first state of a load finds the curve and terrace empty: the
// instances of the previous load are gone.
constexpr char kScript[] = R"(
local fresh, cycle = ...
local ok, err = pcall(LibNoise.M_Curve.Calc, 0)
if fresh then
  assert(not ok and err:find('no control points'), 'the curve kept points across an unload')
end
for i = 1, 12 do
  pcall(LibNoise.M_Curve.AddPoint, i + cycle / 100, i * i)
  pcall(LibNoise.M_Terrace.AddPoint, -i - cycle / 100)
end
assert(LibNoise.Line.SetModule(LibNoise.C_MODULE_CURVE))
assert(LibNoise.Sphere.SetModule(LibNoise.C_MODULE_TERRACE))
assert(LibNoise.Plane.SetModule(LibNoise.C_MODULE_RIDGED_MULTI))
LibNoise.M_RidgedMulti.SetOctaveCount(30)
assert(type(LibNoise.Line.Calc(0.5)) == 'number')
assert(type(LibNoise.Sphere.Calc(10, 20)) == 'number')
assert(type(LibNoise.Plane.Calc(0.3, 0.7)) == 'number')
assert(select('#', LibNoise.M_Turbulence.Calc(1, 2, 3)) == 3)
)";

bool Expect(const std::string& what, const std::string& got, const std::string& expected,
            int cycle) {
  if (got == expected) return true;
  std::fprintf(stderr, "cycle %d: %s:\n--- expected\n%s--- got\n%s---\n", cycle, what.c_str(),
               expected.c_str(), got.c_str());
  return false;
}

bool RunStates(const vessa::ExtensionLibrary& extension, int cycle) {
  for (int state = 0; state < 2; ++state) {
    vessa::ScriptHost host(extension, [](const char*) {});
    int result = -1;
    std::string error;
    if (!host.OpenExtension(&result, &error) || result != 0) {
      std::fprintf(stderr, "cycle %d: open failed (%d): %s\n", cycle, result, error.c_str());
      return false;
    }
    const std::string code = "return (function(...) " + std::string(kScript) + " end)(" +
                             (state == 0 ? "true" : "false") + ", " + std::to_string(cycle) + ")";
    const vessa::RunOutcome outcome = host.RunString(code, "=cycle");
    if (outcome.kind != vessa::RunOutcome::kFinished) {
      std::fprintf(stderr, "cycle %d: script failed: %s\n", cycle, outcome.message.c_str());
      return false;
    }
  }
  return true;
}

bool Cycle(const std::string& path, int cycle) {
  std::unique_ptr<vessa::ExtensionLibrary> extension;
  std::string error;
  std::string constructed;
  {
    StderrCapture capture;
    extension = vessa::ExtensionLibrary::Load(path, &error);
    constructed = capture.Take();
  }
  if (!extension) {
    std::fprintf(stderr, "cycle %d: %s\n", cycle, error.c_str());
    return false;
  }
  if (!Expect("constructions at load", constructed, kConstructed, cycle)) return false;
  if (!RunStates(*extension, cycle)) return false;
  std::string destroyed;
  {
    StderrCapture capture;
    extension.reset();
    destroyed = capture.Take();
  }
  if (!Expect("destructions at unload", destroyed, kDestroyed, cycle)) return false;
  if (void* still = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
    dlclose(still);
    std::fprintf(stderr, "cycle %d: the library is still loaded after its unload\n", cycle);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: load_cycles TRACED_EXTENSION [CYCLES]\n");
    return 2;
  }
  const std::string path = argv[1];
  const int cycles = argc > 2 ? std::atoi(argv[2]) : 20;
  for (int cycle = 1; cycle <= cycles; ++cycle) {
    if (!Cycle(path, cycle)) return 1;
  }
  std::printf("%d load/unload cycles: instances built and torn down in order each time\n", cycles);
  return 0;
}
