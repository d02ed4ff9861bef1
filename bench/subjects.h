// The functions the benchmark measures. Each comes three ways:
//   a  the library call in a C++ loop (native),
//   b  a hand-written Lua C function that checks its arguments as strictly as
//      the extension does, makes the same call and pushes the same float
//      (the floor: what any binding costs at least),
//   c  the extension's own function, called through the vessa host.
// a and b use instances of their own, set up like the extension's.
#ifndef NOISEBIND_BENCH_SUBJECTS_H
#define NOISEBIND_BENCH_SUBJECTS_H

#include <lua.hpp>
#include <vector>

#include "points.h"

namespace bench {

struct Subject {
  const char* name;  // the function's key under LibNoise, e.g. "M_Perlin.Calc"
  int arity;
  int results;
  Range ranges[kMaxArgs];
  // Calls the function at every point `reps` times; the sum of its results,
  // each narrowed to float and added in order as a Lua loop would.
  double (*native)(const Points& points, long reps);
  lua_CFunction floor;
  const char* setup;  // Lua run once before the extension's function is called
  // For a noise object: the Lua expression of the object, whose calc method
  // is c (the name then only labels the row); null for LibNoise functions.
  const char* object = nullptr;
};

const std::vector<Subject>& Subjects();

// Parts of the list, one per file.
void AddModuleSubjects(std::vector<Subject>& list);
void AddModelSubjects(std::vector<Subject>& list);
void AddPrimarySubjects(std::vector<Subject>& list);
void AddObjectSubjects(std::vector<Subject>& list);

}  // namespace bench

#endif  // NOISEBIND_BENCH_SUBJECTS_H
