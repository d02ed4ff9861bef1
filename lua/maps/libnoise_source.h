// LibNoise functions as map sources: which ones a map may evaluate, and
// their evaluation. A function whose shared instance can be copied is
// evaluated from a copy taken under the ExtensionLock, without the lock, so
// that other states' calls go on meanwhile; any other is called directly, one
// call per point on each worker thread, the lock held for the whole map.
#ifndef NOISEBIND_MAPS_LIBNOISE_SOURCE_H
#define NOISEBIND_MAPS_LIBNOISE_SOURCE_H

#include <functional>
#include <memory>

#include "engine/maps/grid.h"
#include "engine/maps/point_source.h"
#include "entry/host_interface.h"

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

// A copy of the shared instance a LibNoise function evaluates: its value
// for the function's arguments, exactly what a call returns. Read by several
// threads at once; it shares nothing with the extension.
class InstanceCopy {
 public:
  virtual ~InstanceCopy() = default;
  // False where the call refuses its arguments (a model's bounds): the
  // source then asks the function itself, for its own error.
  virtual bool Value(const double* args, double* value) const = 0;
};

// Makes the copy for `function`, called with the ExtensionLock held; null
// when that function is not one whose instance it can copy, or its call
// would fail whatever its arguments (a model without a source, a curve
// without points): the calls then report it. Only a core
// linked into the same library can copy its instances (the Lua module; not
// vessa, whose extension is a file of its own), and it registers its copier
// while the library loads.
using InstanceCopier = std::unique_ptr<InstanceCopy> (*)(ScriptFunction function);
void RegisterInstanceCopier(InstanceCopier copier);

// Runs `compute` over a source of `function`'s values: the copy when there
// is one (the lock held only to make it), otherwise direct calls under the
// lock. False, with the reason in `error`, when this thread holds the lock
// already (Lua code run while the extension opens). May throw
// std::bad_alloc.
bool WithPointSource(ScriptFunction function,
                     const std::function<bool(const PointSource&)>& compute, std::string* error);
bool WithArgumentSource(ScriptFunction function, unsigned arguments,
                        const std::function<bool(const ArgumentSource&)>& compute,
                        std::string* error);

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
