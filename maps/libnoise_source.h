// LibNoise functions as map sources: which ones a map may evaluate, and
// their evaluation through direct calls, one per worker thread. Whoever
// builds a map of them holds the ExtensionLock for all of it.
#ifndef NOISEBIND_MAPS_LIBNOISE_SOURCE_H
#define NOISEBIND_MAPS_LIBNOISE_SOURCE_H

#include "entry/host_interface.h"
#include "maps/grid.h"
#include "maps/point_source.h"

struct lua_State;

namespace noisebind::maps {

// A LibNoise function that returns one number, by path.
struct LibNoiseFunction {
  const char* path;
  unsigned arguments;
  // A Calc of the three coordinates of a point: a source for the builders.
  bool point;
};

// What the value at a stack index is, as a LibNoise function.
struct FoundFunction {
  ScriptFunction function = nullptr;        // null: no script function at all
  const char* path = "";                    // "" when it was never stored under a table
  const LibNoiseFunction* entry = nullptr;  // null: a function no map can evaluate
  const char* refusal = nullptr;            // why not, when entry is null
};

// Never raises a Lua error.
FoundFunction FindLibNoiseFunction(lua_State* L, int index);

class LibNoisePointSource final : public PointSource {
 public:
  explicit LibNoisePointSource(ScriptFunction function) : m_function(function) {}
  std::unique_ptr<Workspace> NewWorkspace() const override;
  bool Values(Workspace* workspace, const double* x, const double* y, const double* z,
              std::size_t count, double* out, std::string* error) const override;

 private:
  ScriptFunction m_function;
};

class LibNoiseArgumentSource final : public ArgumentSource {
 public:
  LibNoiseArgumentSource(ScriptFunction function, unsigned arguments)
      : m_function(function), m_arguments(arguments) {}
  std::unique_ptr<Workspace> NewWorkspace() const override;
  bool Values(Workspace* workspace, const double* const* args, std::size_t count, double* out,
              std::string* error) const override;

 private:
  ScriptFunction m_function;
  unsigned m_arguments;
};

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_LIBNOISE_SOURCE_H
