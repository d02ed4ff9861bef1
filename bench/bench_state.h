// The Lua state the benchmark calls LibNoise in: vessa's host with the
// extension file (noisebind_bench), or, in the module benchmarks
// (noisebind_module_bench_<lua>, built with NOISEBIND_BENCH_MODULE_DIR), a
// plain state of the Lua the program is built for that requires the module.
#ifndef NOISEBIND_BENCH_BENCH_STATE_H
#define NOISEBIND_BENCH_BENCH_STATE_H

#include <lua.hpp>
#include <memory>
#include <string>

namespace bench {

class BenchState {
 public:
  // Throws std::runtime_error with the reason when LibNoise cannot be had.
  explicit BenchState(const std::string& extension);

  lua_State* lua() const { return m_L; }
  // How c reaches LibNoise, for the report.
  static const char* Path();

 private:
  // What keeps the state, and closes it in the end.
  std::shared_ptr<void> m_owner;
  lua_State* m_L = nullptr;
};

}  // namespace bench

#endif  // NOISEBIND_BENCH_BENCH_STATE_H
