#include "callgrind_probe.h"

#include <fstream>
#include <stdexcept>

#ifdef NOISEBIND_BENCH_CALLGRIND
#include <valgrind/callgrind.h>
#endif

namespace bench {

bool CallgrindProbe::Available() {
#ifdef NOISEBIND_BENCH_CALLGRIND
  return RUNNING_ON_VALGRIND != 0;
#else
  return false;
#endif
}

void CallgrindProbe::Start() {
#ifdef NOISEBIND_BENCH_CALLGRIND
  CALLGRIND_ZERO_STATS;
#endif
}

double CallgrindProbe::Stop(const std::string& label) {
#ifdef NOISEBIND_BENCH_CALLGRIND
  CALLGRIND_DUMP_STATS_AT(label.c_str());
#endif
  // Callgrind numbers the dumps it writes on request from 1.
  const std::string path = m_outFile + "." + std::to_string(++m_dumps);
  std::ifstream dump(path);
  std::string line;
  const std::string trigger = "desc: Trigger: Client Request: " + label;
  bool ours = false;
  while (std::getline(dump, line)) {
    if (line == trigger) ours = true;
    if (ours && line.rfind("summary: ", 0) == 0) return std::stod(line.substr(9));
  }
  throw std::runtime_error("no callgrind dump for '" + label + "' in " + path);
}

}  // namespace bench
