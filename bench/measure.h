// One benchmarked function with its points and loops, and how it is timed
// or counted: a, b and c always over the same points and the same number
// of calls, side by side.
#ifndef NOISEBIND_BENCH_MEASURE_H
#define NOISEBIND_BENCH_MEASURE_H

#include <string>
#include <vector>

#include "callgrind_probe.h"
#include "lua_loops.h"
#include "subjects.h"

namespace bench {

enum Variant { kNative = 0, kFloor = 1, kBinding = 2, kVariants = 3 };

struct Case {
  const Subject* subject;
  Points points;
  int loops[kVariants] = {0, 0, 0};  // the Lua loops of b and c
  long reps = 1;                     // passes over the points per measurement
  TraceCount traces[kVariants];
  // Per round: ns per call of each variant, and the ratios within the round.
  std::vector<double> ns[kVariants];
  std::vector<double> bindingOverNative;
  std::vector<double> bindingOverFloor;
  // From callgrind: instructions per call.
  double instructions[kVariants] = {0.0, 0.0, 0.0};

  long Calls() const { return reps * static_cast<long>(points.count); }
};

// Builds the cases for `subjects`: runs each setup, makes the loops, and
// checks that a, b and c add up to the very same sum. Throws when not.
std::vector<Case> PrepareCases(LuaLoops& lua, const std::vector<const Subject*>& subjects,
                               std::size_t pointCount);

// Runs every variant until LuaJIT has compiled its loops, then records the
// traces of b and c.
void WarmUp(LuaLoops& lua, Case& c);

// Picks the passes per measurement so that c takes about `seconds`.
void Calibrate(LuaLoops& lua, Case& c, double seconds);

// One timing of a, b and c, in an order that turns with `round`.
void TimeRound(LuaLoops& lua, Case& c, int round);

// Instructions per call of a, b and c over `calls` calls at least.
void CountInstructions(LuaLoops& lua, Case& c, CallgrindProbe& probe, long calls);

double Median(std::vector<double> values);

}  // namespace bench

#endif  // NOISEBIND_BENCH_MEASURE_H
