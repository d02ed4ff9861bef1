// The Lua side of variants b and c: one loop per function and variant, each
// loaded from its own chunk so that LuaJIT records and compiles it on its own,
// and an account of the traces compiled for each loop.
#ifndef NOISEBIND_BENCH_LUA_LOOPS_H
#define NOISEBIND_BENCH_LUA_LOOPS_H

#include <lua.hpp>
#include <string>

#include "points.h"

namespace bench {

struct TraceCount {
  int compiled = 0;
  int aborted = 0;
};

class LuaLoops {
 public:
  // Starts the trace account in `L`.
  explicit LuaLoops(lua_State* L);

  // Lua arrays holding the points' arguments; returns a handle for MakeLoop.
  int StorePoints(const Points& points, int arity);

  // A loop calling the function on top of the stack (popped) at every point,
  // adding up its `results` results. `label` names the chunk in errors.
  // With `method`, the value on top is an object and the loop calls
  // value:method(...) instead.
  int MakeLoop(int points, int arity, int results, const std::string& label,
               const char* method = nullptr);

  // Runs the loop over all points `reps` times; the sum of every result.
  double Run(int loop, long reps);

  TraceCount Traces(int loop);

  // Runs a chunk of Lua; throws with Lua's message when it fails.
  void Execute(const std::string& code, const std::string& label);
  void PushFunction(lua_CFunction function) { lua_pushcfunction(m_L, function); }
  // Pushes the value of a Lua expression.
  void PushValue(const std::string& expression);

 private:
  lua_State* m_L;
  int m_traceQuery;
};

}  // namespace bench

#endif  // NOISEBIND_BENCH_LUA_LOOPS_H
