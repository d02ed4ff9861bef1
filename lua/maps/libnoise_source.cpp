#include "lua/maps/libnoise_source.h"

#include <cstring>

#include "host/direct_call.h"
#include "host/extension_lock.h"
#include "host/lua_interface.h"

namespace noisebind::maps {
namespace {

// Every LibNoise function that evaluates its shared instance at its
// arguments and returns one number. The builders take those of a point.
constexpr LibNoiseFunction kFunctions[] = {
    {"LibNoise.M_Billow.Calc", 3, true},      {"LibNoise.M_CBoard.Calc", 3, true},
    {"LibNoise.M_Perlin.Calc", 3, true},      {"LibNoise.M_RidgedMulti.Calc", 3, true},
    {"LibNoise.M_Spheres.Calc", 3, true},     {"LibNoise.M_Voronoi.Calc", 3, true},
    {"LibNoise.M_Curve.Calc", 1, false},      {"LibNoise.M_Cylinders.Calc", 2, false},
    {"LibNoise.M_Exponent.Calc", 1, false},   {"LibNoise.M_Terrace.Calc", 1, false},
    {"LibNoise.Line.Calc", 1, false},         {"LibNoise.Plane.Calc", 2, false},
    {"LibNoise.Sphere.Calc", 2, false},       {"LibNoise.Cylinder.Calc", 2, false},
    {"LibNoise.InterpolateLinear", 3, false}, {"LibNoise.InterpolateCubic", 5, false},
    {"LibNoise.Gradient3DNoise", 7, false},   {"LibNoise.GradientCoherent3DNoise", 5, false},
    {"LibNoise.Coherent3DNoise", 5, false},   {"LibNoise.3DNoise", 5, false},
    {"LibNoise.Int3DNoise", 4, false},        {"LibNoise.SCurve3", 1, false},
    {"LibNoise.SCurve5", 1, false},
};

// Functions of LibNoise no map evaluates, and why; every other one changes
// a setting.
struct Refusal {
  const char* path;
  const char* reason;
};
constexpr Refusal kRefusals[] = {
    {"LibNoise.M_Turbulence.Calc", "returns three numbers"},
    {"LibNoise.LatLonOnSphere", "returns three numbers"},
};
constexpr char kSetter[] = "changes a setting";
constexpr char kForeign[] = "is not in the LibNoise table";

class CallWorkspace final : public PointSource::Workspace {
 public:
  vessa::DirectCall call;
};

// The calls for `count` argument lists; the first failure stops them.
bool CallEach(vessa::DirectCall& call, ScriptFunction function, const double* const* args,
              unsigned arguments, std::size_t count, double* out, std::string* error) {
  double list[vessa::DirectCall::kMaxArgs];
  for (std::size_t i = 0; i < count; ++i) {
    for (unsigned a = 0; a < arguments; ++a) list[a] = args[a][i];
    float value = 0.0f;
    if (!call.Call(function, list, arguments, &value)) {
      *error = call.error();
      return false;
    }
    out[i] = value;
  }
  return true;
}

// Set while the library loads, before any state runs: read without a lock.
InstanceCopier g_copier = nullptr;

constexpr char kReentered[] =
    "the extension is busy on this thread (a map started while it opens), not computed";

// The copy, or null when there is none; `reentered` when this thread holds
// the lock already.
std::unique_ptr<InstanceCopy> CopyUnderLock(ScriptFunction function, bool* reentered) {
  *reentered = false;
  if (g_copier == nullptr) return nullptr;
  const vessa::ExtensionLock::Scope lock;
  *reentered = !lock.held();
  return lock.held() ? g_copier(function) : nullptr;
}

// The value at arguments the copy refuses, from the function itself under
// the lock: the call's own error (or, should it take them, its value).
bool CallRefused(ScriptFunction function, const double* list, unsigned arguments, double* out,
                 std::string* error) {
  const double* args[kMaxGridArguments];
  for (unsigned a = 0; a < arguments; ++a) args[a] = &list[a];
  vessa::DirectCall call;
  const vessa::ExtensionLock::Scope lock;
  if (!lock.held()) {
    *error = kReentered;
    return false;
  }
  return CallEach(call, function, args, arguments, 1, out, error);
}

class CopiedPointSource final : public PointSource {
 public:
  CopiedPointSource(const InstanceCopy& copy, ScriptFunction function)
      : m_copy(copy), m_function(function) {}
  bool Values(Workspace*, const double* x, const double* y, const double* z, std::size_t count,
              double* out, std::string* error) const override {
    for (std::size_t i = 0; i < count; ++i) {
      const double point[] = {x[i], y[i], z[i]};
      if (!m_copy.Value(point, &out[i]) && !CallRefused(m_function, point, 3, &out[i], error)) {
        return false;
      }
    }
    return true;
  }

 private:
  const InstanceCopy& m_copy;
  ScriptFunction m_function;
};

class CopiedArgumentSource final : public ArgumentSource {
 public:
  CopiedArgumentSource(const InstanceCopy& copy, ScriptFunction function, unsigned arguments)
      : m_copy(copy), m_function(function), m_arguments(arguments) {}
  bool Values(Workspace*, const double* const* args, std::size_t count, double* out,
              std::string* error) const override {
    double list[kMaxGridArguments];
    for (std::size_t i = 0; i < count; ++i) {
      for (unsigned a = 0; a < m_arguments; ++a) list[a] = args[a][i];
      if (!m_copy.Value(list, &out[i]) &&
          !CallRefused(m_function, list, m_arguments, &out[i], error)) {
        return false;
      }
    }
    return true;
  }

 private:
  const InstanceCopy& m_copy;
  ScriptFunction m_function;
  unsigned m_arguments;
};

}  // namespace

void RegisterInstanceCopier(InstanceCopier copier) {
  g_copier = copier;
}

bool WithPointSource(ScriptFunction function,
                     const std::function<bool(const PointSource&)>& compute, std::string* error) {
  bool reentered = false;
  if (const std::unique_ptr<InstanceCopy> copy = CopyUnderLock(function, &reentered)) {
    return compute(CopiedPointSource(*copy, function));
  }
  const vessa::ExtensionLock::Scope lock;
  if (reentered || !lock.held()) {
    *error = kReentered;
    return false;
  }
  return compute(LibNoisePointSource(function));
}

bool WithArgumentSource(ScriptFunction function, unsigned arguments,
                        const std::function<bool(const ArgumentSource&)>& compute,
                        std::string* error) {
  bool reentered = false;
  if (const std::unique_ptr<InstanceCopy> copy = CopyUnderLock(function, &reentered)) {
    return compute(CopiedArgumentSource(*copy, function, arguments));
  }
  const vessa::ExtensionLock::Scope lock;
  if (reentered || !lock.held()) {
    *error = kReentered;
    return false;
  }
  return compute(LibNoiseArgumentSource(function, arguments));
}

FoundFunction FindLibNoiseFunction(lua_State* L, int index) {
  FoundFunction found;
  vessa::ScriptFunctionInfo info{};
  if (!vessa::FindScriptFunction(L, index, &info)) return found;
  found.function = info.function;
  found.path = info.path->c_str();
  for (const LibNoiseFunction& entry : kFunctions) {
    if (std::strcmp(entry.path, found.path) == 0) {
      found.entry = &entry;
      return found;
    }
  }
  found.refusal = std::strncmp(found.path, "LibNoise.", 9) == 0 ? kSetter : kForeign;
  for (const Refusal& refusal : kRefusals) {
    if (std::strcmp(refusal.path, found.path) == 0) found.refusal = refusal.reason;
  }
  return found;
}

std::unique_ptr<PointSource::Workspace> LibNoisePointSource::NewWorkspace() const {
  return std::make_unique<CallWorkspace>();
}

bool LibNoisePointSource::Values(Workspace* workspace, const double* x, const double* y,
                                 const double* z, std::size_t count, double* out,
                                 std::string* error) const {
  const double* const args[] = {x, y, z};
  return CallEach(static_cast<CallWorkspace*>(workspace)->call, m_function, args, 3, count, out,
                  error);
}

std::unique_ptr<ArgumentSource::Workspace> LibNoiseArgumentSource::NewWorkspace() const {
  return std::make_unique<CallWorkspace>();
}

bool LibNoiseArgumentSource::Values(Workspace* workspace, const double* const* args,
                                    std::size_t count, double* out, std::string* error) const {
  return CallEach(static_cast<CallWorkspace*>(workspace)->call, m_function, args, m_arguments,
                  count, out, error);
}

}  // namespace noisebind::maps
