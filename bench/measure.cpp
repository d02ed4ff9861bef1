#include "measure.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace bench {
namespace {

const char* const kVariantNames[kVariants] = {"a", "b", "c"};

double Run(LuaLoops& lua, Case& c, int variant, long reps) {
  if (variant == kNative) return c.subject->native(c.points, reps);
  return lua.Run(c.loops[variant], reps);
}

double Seconds(LuaLoops& lua, Case& c, int variant, long reps, double* sum) {
  const auto start = std::chrono::steady_clock::now();
  *sum = Run(lua, c, variant, reps);
  const auto stop = std::chrono::steady_clock::now();
  return std::chrono::duration<double>(stop - start).count();
}

}  // namespace

std::vector<Case> PrepareCases(LuaLoops& lua, const std::vector<const Subject*>& subjects,
                               std::size_t pointCount) {
  std::vector<Case> cases;
  cases.reserve(subjects.size());
  unsigned seed = 1;
  for (const Subject* subject : subjects) {
    Case& c = cases.emplace_back();
    c.subject = subject;
    c.points = MakePoints(pointCount, subject->arity, subject->ranges, seed++);
    const std::string name = subject->name;
    if (subject->setup != nullptr) lua.Execute(subject->setup, "=setup " + name);
    const int points = lua.StorePoints(c.points, subject->arity);
    lua.PushFunction(subject->floor);
    c.loops[kFloor] = lua.MakeLoop(points, subject->arity, subject->results, name + " (b)");
    if (subject->object != nullptr) {
      lua.PushValue(subject->object);
      c.loops[kBinding] =
          lua.MakeLoop(points, subject->arity, subject->results, name + " (c)", "calc");
    } else {
      lua.PushValue("LibNoise." + name);
      c.loops[kBinding] = lua.MakeLoop(points, subject->arity, subject->results, name + " (c)");
    }

    double sums[kVariants];
    for (int variant = 0; variant < kVariants; ++variant) sums[variant] = Run(lua, c, variant, 1);
    for (int variant = kFloor; variant < kVariants; ++variant) {
      // Every variant computes the same floats and adds them in the same order.
      if (sums[variant] != sums[kNative]) {
        throw std::runtime_error(
            name + ": " + kVariantNames[variant] + " does not compute what a does (sums " +
            std::to_string(sums[variant]) + " and " + std::to_string(sums[kNative]) + ")");
      }
    }
  }
  return cases;
}

void WarmUp(LuaLoops& lua, Case& c) {
  // LuaJIT compiles a loop after 56 iterations; a few passes settle every
  // side trace too.
  for (int pass = 0; pass < 4; ++pass) {
    for (int variant = 0; variant < kVariants; ++variant) Run(lua, c, variant, 2);
  }
  c.traces[kFloor] = lua.Traces(c.loops[kFloor]);
  c.traces[kBinding] = lua.Traces(c.loops[kBinding]);
}

void Calibrate(LuaLoops& lua, Case& c, double seconds) {
  double sum = 0.0;
  double took = Seconds(lua, c, kBinding, 1, &sum);
  long reps = 1;
  while (took < seconds / 8 && reps < (1L << 30)) {
    reps *= 2;
    took = Seconds(lua, c, kBinding, reps, &sum);
  }
  const double wanted = static_cast<double>(reps) * seconds / std::max(took, 1e-9);
  c.reps = std::max(1L, static_cast<long>(std::min(wanted, 1e9)));
}

void TimeRound(LuaLoops& lua, Case& c, int round) {
  double ns[kVariants];
  const double calls = static_cast<double>(c.Calls());
  for (int step = 0; step < kVariants; ++step) {
    const int variant = (step + round) % kVariants;
    double sum = 0.0;
    ns[variant] = Seconds(lua, c, variant, c.reps, &sum) * 1e9 / calls;
  }
  for (int variant = 0; variant < kVariants; ++variant) c.ns[variant].push_back(ns[variant]);
  c.bindingOverNative.push_back(ns[kBinding] / ns[kNative]);
  c.bindingOverFloor.push_back(ns[kBinding] / ns[kFloor]);
}

void CountInstructions(LuaLoops& lua, Case& c, CallgrindProbe& probe, long calls) {
  const long count = static_cast<long>(c.points.count);
  c.reps = std::max(1L, (calls + count - 1) / count);
  for (int variant = 0; variant < kVariants; ++variant) {
    probe.Start();
    Run(lua, c, variant, c.reps);
    const double total = probe.Stop(std::string(c.subject->name) + " " + kVariantNames[variant]);
    c.instructions[variant] = total / static_cast<double>(c.Calls());
  }
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  if (values.size() % 2 == 1) return values[middle];
  return (values[middle - 1] + values[middle]) / 2.0;
}

}  // namespace bench
