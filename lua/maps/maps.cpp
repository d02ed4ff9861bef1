#include "lua/maps/maps.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <lua.hpp>
#include <new>

#include "engine/graph/node.h"
#include "engine/maps/map_bounds.h"
#include "engine/maps/map_builder.h"
#include "engine/maps/map_builder_volume.h"
#include "engine/maps/node_source.h"
#include "host/lua_args.h"
#include "host/lua_compat.h"
#include "host/lua_interface.h"
#include "lua/maps/libnoise_source.h"
#include "lua/maps/map_args.h"
#include "lua/maps/map_userdata.h"
#include "lua/objects/noise_object.h"

// Lua errors are raised only from frames without C++ objects: the work
// runs in helpers that return a status and a reason in a plain buffer, and
// the error is raised once they have returned.
namespace noisebind::maps {
namespace {

constexpr std::size_t kReasonSize = 512;
constexpr char kPointSourceExpected[] = "a noise object or a LibNoise function of a point";
constexpr char kGridFunctionExpected[] = "a LibNoise function that returns one number";

// A map's source, resolved before any work; trivially destructible, so that
// it may live where errors are raised.
struct SourceChoice {
  ScriptFunction function = nullptr;    // a LibNoise function of a point
  const objects::Node* node = nullptr;  // or a noise object
};

const char* Plural(unsigned count) {
  return count == 1 ? "" : "s";
}

[[noreturn]] void RefuseSource(lua_State* L, int index, const char* expected,
                               const FoundFunction& found) {
  if (found.function == nullptr) vessa::TypeError(L, index, expected);
  const char* name = *found.path != '\0' ? found.path : "a function";
  if (found.entry != nullptr) {
    ArgumentError(L, index, "%s expected, got %s, which takes %d number%s (sample it with grid)",
                  expected, name, static_cast<int>(found.entry->arguments),
                  Plural(found.entry->arguments));
  }
  ArgumentError(L, index, "%s expected, got %s, which %s", expected, name, found.refusal);
}

SourceChoice CheckPointSource(lua_State* L, int index) {
  SourceChoice choice;
  choice.node = objects::TestNoiseObject(L, index);
  if (choice.node != nullptr) return choice;
  const FoundFunction found = FindLibNoiseFunction(L, index);
  if (found.entry == nullptr || !found.entry->point) {
    RefuseSource(L, index, kPointSourceExpected, found);
  }
  choice.function = found.function;
  return choice;
}

void CopyReason(const std::string& text, char* reason) {
  std::snprintf(reason, kReasonSize, "%s", text.c_str());
}

// Whether the source can be evaluated at all (a noise object may not be).
// The last graph found evaluable is known until any graph changes, so that
// a loop of chunks walks it once.
bool SourceEvaluable(const SourceChoice& choice, char* reason) {
  if (choice.node == nullptr) return true;
  thread_local const objects::Node* lastEvaluable = nullptr;
  thread_local std::uint64_t lastGeneration = 0;
  const std::uint64_t generation = objects::GraphGeneration();
  if (choice.node == lastEvaluable && generation == lastGeneration) return true;
  try {
    std::string why;
    if (choice.node->Evaluable(&why)) {
      lastEvaluable = choice.node;
      lastGeneration = generation;
      return true;
    }
    CopyReason(why, reason);
  } catch (const std::exception&) {
    CopyReason("not enough memory", reason);
  }
  return false;
}

// Any Lua allocation may run a finalizer that changes a graph (clears a
// Curve's points, removes a source), so a builder checks its source here,
// after its last allocation (the map pushed) and right before the work:
// nothing runs Lua code between this check and the computation.
void CheckSourceBeforeWork(lua_State* L, int index, const SourceChoice& choice) {
  char reason[kReasonSize];
  if (!SourceEvaluable(choice, reason)) ArgumentError(L, index, "%s", reason);
}

// The progress display the host set for this state, if any.
const Progress* ProgressOf(lua_State* L) {
  const vessa::StateServices* services = vessa::ServicesOf(L);
  return services != nullptr && services->progress ? &services->progress : nullptr;
}

// Runs `build`, which fills a map, with the failures C++ may throw turned
// into a reason.
template <class Build>
bool Guarded(Build build, char* reason) {
  try {
    std::string error;
    if (build(&error)) return true;
    CopyReason(error, reason);
  } catch (const std::exception&) {
    CopyReason("not enough memory", reason);
  }
  return false;
}

// Runs `build(source, error)` over the chosen source. Noise objects share
// nothing with the extension and need no lock: the graph belongs to this
// state, whose thread waits for the workers.
template <class Build>
bool ComputeFrom(const SourceChoice& choice, Build build, char* reason) {
  return Guarded(
      [&](std::string* error) {
        if (choice.node != nullptr) {
          const NodeSource<objects::Node> source(*choice.node);
          return build(source, error);
        }
        return WithPointSource(
            choice.function, [&](const PointSource& source) { return build(source, error); },
            error);
      },
      reason);
}

bool ComputeMap(const SourceChoice& choice, const MapRequest& request, const RunOptions& run,
                double* values, char* reason) {
  return ComputeFrom(
      choice,
      [&](const PointSource& source, std::string* error) {
        return BuildMap(source, request, run, values, error);
      },
      reason);
}

bool ComputeVolume(const SourceChoice& choice, const VolumeRequest& request, const RunOptions& run,
                   double* values, char* reason) {
  return ComputeFrom(
      choice,
      [&](const PointSource& source, std::string* error) {
        return BuildVolume(source, request, run, values, error);
      },
      reason);
}

bool ComputeGrid(ScriptFunction function, const GridRequest& request, const RunOptions& run,
                 double* values, char* reason) {
  return Guarded(
      [&](std::string* error) {
        return WithArgumentSource(
            function, request.arguments,
            [&](const ArgumentSource& source) {
              return SampleGrid(source, request, run, values, error);
            },
            error);
      },
      reason);
}

// What the builders differ in: their name, projection and options.
struct Builder {
  const char* name;
  Projection projection;
  const char* const* options;
};

constexpr const char* kPlaneOptions[] = {"seamless",  "threads", "flip",
                                         "positions", "into",    nullptr};
constexpr const char* kCurvedOptions[] = {"threads", "flip", "positions", "into", nullptr};
// The `positions` option, in the order of Positions.
constexpr const char* kPositions[] = {"index", "noiseutils", nullptr};

constexpr Builder kPlane{"planemap", Projection::kPlane, kPlaneOptions};
constexpr Builder kSphere{"spheremap", Projection::kSphere, kCurvedOptions};
constexpr Builder kCylinder{"cylindermap", Projection::kCylinder, kCurvedOptions};

// The `into` option of the options at `index` (nil or a table): false when
// absent; otherwise a map of exactly the size the builder makes, which it
// fills instead of a new one, or an argument error with the reason.
bool CheckInto(lua_State* L, int index, std::uint32_t width, std::uint32_t height,
               std::uint32_t depth, MapRef* into) {
  if (!lua_istable(L, index)) return false;
  vessa::RawField(L, index, "into");
  MapRef& map = *into;
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    return false;
  }
  if (!TestMap(L, -1, &map)) {
    ArgumentError(L, index, "option 'into' must be a map, got %s", luaL_typename(L, -1));
  }
  if (map.width != width || map.height != height || map.depth != depth) {
    ArgumentError(L, index,
                  "option 'into' must be a map of %d x %d x %d, as the builder makes, got %d x %d "
                  "x %d",
                  static_cast<int>(width), static_cast<int>(height), static_cast<int>(depth),
                  static_cast<int>(map.width), static_cast<int>(map.height),
                  static_cast<int>(map.depth));
  }
  lua_pop(L, 1);
  return true;
}

// The map a builder fills, pushed: the options' `into` or a new one. The
// `into` map is read and checked again here, after the builder's other
// allocations: a finalizer run since CheckInto may have changed the options
// table, and the map filled must be the one held on the stack.
MapRef PushTarget(lua_State* L, int index, bool into, std::uint32_t width, std::uint32_t height,
                  std::uint32_t depth = 1) {
  MapRef map{};
  if (!into || !CheckInto(L, index, width, height, depth, &map)) {
    return PushNewMap(L, width, height, depth);
  }
  vessa::RawField(L, index, "into");
  return map;
}

// The fault CheckSpan found in a pair of bounds, raised at index 2.
void RaiseSpanFault(lua_State* L, const char* shape, const char* const* names, SpanFault fault,
                    double from, double to, double limit) {
  switch (fault) {
    case SpanFault::kReversed:
      ArgumentError(L, 2, "%s: %s must be below %s, got %f and %f", shape, names[0], names[1], from,
                    to);
    case SpanFault::kInfinite:
      ArgumentError(L, 2, "%s: %s - %s must be finite, got %f and %f", shape, names[1], names[0],
                    from, to);
    case SpanFault::kOutside:
      ArgumentError(L, 2, "%s: %s and %s must lie within -%d and %d, got %f and %f", shape,
                    names[0], names[1], static_cast<int>(limit), static_cast<int>(limit), from, to);
    case SpanFault::kNone:
      break;
  }
}

// Bounds at index 2: finite, each pair a span within the builder's limits
// (SetBounds).
void CheckBounds(lua_State* L, const Builder& builder, MapRequest* request) {
  const BoundsShape& shape = ShapeOf(builder.projection);
  double bounds[4];
  CheckNumbers(L, 2, shape.shape, 4, bounds);
  int pair = 0;
  const SpanFault fault = SetBounds(builder.projection, bounds, request, &pair);
  RaiseSpanFault(L, shape.shape, shape.pairNames[pair], fault, bounds[2 * pair],
                 bounds[2 * pair + 1], shape.limits[pair]);
}

// Whether the builder takes option `name` and the table has it, from
// CheckOptionNames' answer.
bool Present(const Builder& builder, std::uint32_t present, const char* name) {
  for (std::uint32_t i = 0; builder.options[i] != nullptr; ++i) {
    if (std::strcmp(builder.options[i], name) == 0) return (present >> i & 1u) != 0;
  }
  return false;
}

// Options at `index`: nil or a table of the builder's option names. Only
// those present are looked up: a chunk's call pays for what it gives.
// True when `into` is among them.
bool CheckMapOptions(lua_State* L, int index, const Builder& builder, MapRequest* request,
                     RunOptions* run) {
  run->threads = kThreadsBySize;
  const bool upperFirst = ShapeOf(builder.projection).upperFirst;
  request->flip = upperFirst;
  if (lua_isnoneornil(L, index)) return false;
  if (!lua_istable(L, index)) vessa::TypeError(L, index, "table of options");
  const OptionTable options{index, index, "option"};
  const std::uint32_t present = CheckOptionNames(L, options, builder.options);
  if (Present(builder, present, "seamless")) {
    request->seamless = OptionBoolean(L, options, "seamless", false);
  }
  if (Present(builder, present, "flip")) {
    request->flip = OptionBoolean(L, options, "flip", false) != upperFirst;
  }
  if (Present(builder, present, "positions")) {
    request->positions = static_cast<Positions>(
        OptionChoice(L, options, "positions", kPositions, static_cast<int>(Positions::kIndex)));
  }
  if (Present(builder, present, "threads")) run->threads = OptionThreads(L, options);
  return Present(builder, present, "into");
}

// planemap, spheremap, cylindermap: (source, bounds, width, height [, options]).
int BuildWith(lua_State* L, const Builder& builder) {
  const SourceChoice source = CheckPointSource(L, 1);
  MapRequest request;
  request.projection = builder.projection;
  CheckBounds(L, builder, &request);
  CheckMapSize(L, 3, &request.width, &request.height);
  RunOptions run;
  MapRef found{};
  const bool into = CheckMapOptions(L, 5, builder, &request, &run) &&
                    CheckInto(L, 5, request.width, request.height, 1, &found);
  run.progress = ProgressOf(L);
  const MapRef map = PushTarget(L, 5, into, request.width, request.height);
  CheckSourceBeforeWork(L, 1, source);
  char reason[kReasonSize];
  if (!ComputeMap(source, request, run, map.values, reason)) {
    lua_pushstring(L, reason);
    lua_error(L);
  }
  return 1;
}

int PlaneMap(lua_State* L) {
  return BuildWith(L, kPlane);
}

int SphereMap(lua_State* L) {
  return BuildWith(L, kSphere);
}

int CylinderMap(lua_State* L) {
  return BuildWith(L, kCylinder);
}

// volumemap(source, {x0, x1, y0, y1, z0, z1}, width, height, depth [, options]).
int VolumeMap(lua_State* L) {
  const SourceChoice source = CheckPointSource(L, 1);
  VolumeRequest request;
  constexpr char kShape[] = "bounds {x0, x1, y0, y1, z0, z1}";
  constexpr const char* kNames[3][2] = {{"x0", "x1"}, {"y0", "y1"}, {"z0", "z1"}};
  double bounds[6];
  CheckNumbers(L, 2, kShape, 6, bounds);
  for (int a = 0; a < 3; ++a) {
    RaiseSpanFault(L, kShape, kNames[a], CheckSpan(bounds[2 * a], bounds[2 * a + 1], 0),
                   bounds[2 * a], bounds[2 * a + 1], 0);
    request.from[a] = bounds[2 * a];
    request.to[a] = bounds[2 * a + 1];
  }
  CheckVolumeSize(L, 3, request.size);
  RunOptions run;
  run.threads = kThreadsBySize;
  if (!lua_isnoneornil(L, 6)) {
    if (!lua_istable(L, 6)) vessa::TypeError(L, 6, "table of options");
    const OptionTable options{6, 6, "option"};
    constexpr const char* kOptions[] = {"threads", "into", nullptr};
    CheckOptionNames(L, options, kOptions);
    run.threads = OptionThreads(L, options);
  }
  MapRef found{};
  const bool into = CheckInto(L, 6, request.size[0], request.size[1], request.size[2], &found);
  run.progress = ProgressOf(L);
  const MapRef map = PushTarget(L, 6, into, request.size[0], request.size[1], request.size[2]);
  CheckSourceBeforeWork(L, 1, source);
  char reason[kReasonSize];
  if (!ComputeVolume(source, request, run, map.values, reason)) {
    lua_pushstring(L, reason);
    lua_error(L);
  }
  return 1;
}

// One argument of grid: a number held fixed, or a range {from, to, count}.
void CheckGridAxis(lua_State* L, int index, GridAxis* axis) {
  if (lua_type(L, index) == LUA_TNUMBER) {
    axis->from = lua_tonumber(L, index);
    return;
  }
  if (!lua_istable(L, index)) vessa::TypeError(L, index, "number or range {from, to, count}");
  double from_to[2];
  CheckNumbers(L, index, "range {from, to, count}", 2, from_to);
  lua_rawgeti(L, index, 3);
  const int count = lua_gettop(L);
  if (lua_type(L, count) != LUA_TNUMBER) {
    ArgumentError(L, index, "range {from, to, count}: count must be a number, got %s",
                  luaL_typename(L, count));
  }
  const double span = from_to[1] - from_to[0];
  if (span - span != 0.0) {
    ArgumentError(L, index, "range {from, to, count}: to - from must be finite, got %f and %f",
                  from_to[0], from_to[1]);
  }
  axis->range = true;
  axis->from = from_to[0];
  axis->to = from_to[1];
  const double value = lua_tonumber(L, count);
  if (!(value >= 1 && value <= kMaxMapSide) || static_cast<std::uint32_t>(value) != value) {
    ArgumentError(L, index,
                  "range {from, to, count}: count must be an integer from 1 to %d, got %f",
                  static_cast<int>(kMaxMapSide), value);
  }
  axis->count = static_cast<std::uint32_t>(value);
  lua_pop(L, 1);
}

// grid(f, a1, a2, ... [, options]).
int Grid(lua_State* L) {
  const FoundFunction found = FindLibNoiseFunction(L, 1);
  if (found.entry == nullptr) RefuseSource(L, 1, kGridFunctionExpected, found);
  const unsigned arguments = found.entry->arguments;
  const int given = lua_gettop(L) - 1;
  const bool withOptions =
      given == static_cast<int>(arguments) + 1 && (lua_istable(L, -1) || lua_isnil(L, -1));
  if (given != static_cast<int>(arguments) && !withOptions) {
    ArgumentError(L, 1, "%s takes %d argument%s, got %d", found.path, static_cast<int>(arguments),
                  Plural(arguments), given);
  }
  GridRequest request;
  request.arguments = arguments;
  for (unsigned a = 0; a < arguments; ++a)
    CheckGridAxis(L, static_cast<int>(a) + 2, &request.axes[a]);
  RunOptions run;
  run.threads = kThreadsBySize;
  if (withOptions && lua_istable(L, -1)) {
    const int index = static_cast<int>(arguments) + 2;
    const OptionTable options{index, index, "option"};
    constexpr const char* kNames[] = {"threads", "into", nullptr};
    CheckOptionNames(L, options, kNames);
    run.threads = OptionThreads(L, options);
  }
  const int optionsIndex = static_cast<int>(arguments) + 2;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  if (!GridSize(request, kMaxMapValues, &width, &height) || !MapSizeAllowed(width, height)) {
    ArgumentError(L, lua_gettop(L), "the grid is too large a map (at most %d values, %d a side)",
                  static_cast<int>(kMaxMapValues), static_cast<int>(kMaxMapSide));
  }
  MapRef target{};
  const bool into = withOptions && CheckInto(L, optionsIndex, width, height, 1, &target);
  run.progress = ProgressOf(L);
  const MapRef map = PushTarget(L, optionsIndex, into, width, height);
  char reason[kReasonSize];
  if (!ComputeGrid(found.function, request, run, map.values, reason)) {
    lua_pushstring(L, reason);
    lua_error(L);
  }
  return 1;
}

const luaL_Reg kFunctions[] = {
    {"planemap", PlaneMap},   {"spheremap", SphereMap}, {"cylindermap", CylinderMap},
    {"volumemap", VolumeMap}, {"grid", Grid},           {nullptr, nullptr},
};

}  // namespace

int OpenMapsLibrary(lua_State* L) {
  OpenMapType(L);
  lua_settop(L, 1);
  vessa::SetFunctions(L, kFunctions, 0);
  vessa::NameFunctions(L, 1, false);
  PushMapMethods(L);
  vessa::NameFunctions(L, -1, true);
  lua_pop(L, 1);
  return 0;
}

}  // namespace noisebind::maps
