// Argument checks of the maps and rendering libraries. Each raises Lua's
// usual argument error, so none may be called while a C++ object with a
// destructor is alive in the calling frames.
#ifndef NOISEBIND_MAPS_MAP_ARGS_H
#define NOISEBIND_MAPS_MAP_ARGS_H

#include <cstdint>

struct lua_State;

namespace noisebind::maps {

// Raises "bad argument #index to 'f' (<formatted text>)"; the format is
// lua_pushfstring's.
[[noreturn]] void ArgumentError(lua_State* L, int index, const char* format, ...);

// A number, NaN and infinities refused; `what` names it in the error.
double CheckFinite(lua_State* L, int index, const char* what);

// An integer from `low` to `high`, checked as a double before conversion.
std::uint32_t CheckCount(lua_State* L, int index, double low, double high, const char* what);

// Width and height at `index` and `index + 1`, within the map limits.
void CheckMapSize(lua_State* L, int index, std::uint32_t* width, std::uint32_t* height);

// Width, height and depth at `index` to `index + 2`, within the map limits.
void CheckVolumeSize(lua_State* L, int index, std::uint32_t size[3]);

// A table of `count` finite numbers at `index`; `shape` names it in
// errors, as "bounds {x0, x1, z0, z1}".
// Errors name argument `argument`, or `index` when it is 0.
void CheckNumbers(lua_State* L, int index, const char* shape, int count, double* numbers,
                  int argument = 0);

// A table of named options: where it is on the stack, the argument it
// came as (or in), and what errors call its entries ("option" or, for a
// table inside the options, "light option").
struct OptionTable {
  int table;
  int argument;
  const char* kind;
};

// Checks that every key of the table is one of `names` (null-terminated);
// gives which are there, bit i for names[i] (of the first 32), so that a
// caller may leave out looking up the others.
std::uint32_t CheckOptionNames(lua_State* L, const OptionTable& options, const char* const* names);

// Entry `name` of the table; `fallback` when absent.
bool OptionBoolean(lua_State* L, const OptionTable& options, const char* name, bool fallback);
double OptionNumber(lua_State* L, const OptionTable& options, const char* name, double fallback,
                    double low, double high);
// Entry `name`, one of the strings `choices` (null-terminated): its index;
// `fallback` when absent.
int OptionChoice(lua_State* L, const OptionTable& options, const char* name,
                 const char* const* choices, int fallback);
// The `threads` option: 1 to kMaxThreads; kThreadsBySize when absent.
unsigned OptionThreads(lua_State* L, const OptionTable& options);

constexpr unsigned kMaxThreads = 256;

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_MAP_ARGS_H
