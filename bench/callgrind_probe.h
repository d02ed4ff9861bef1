// Instruction counts of parts of a run under valgrind's callgrind: each
// measured part is zeroed before and dumped after through client requests,
// then read back from the dump file.
#ifndef NOISEBIND_BENCH_CALLGRIND_PROBE_H
#define NOISEBIND_BENCH_CALLGRIND_PROBE_H

#include <string>

namespace bench {

class CallgrindProbe {
 public:
  // `outFile` is what callgrind was given as --callgrind-out-file.
  explicit CallgrindProbe(std::string outFile) : m_outFile(std::move(outFile)) {}

  // Whether this build can make client requests and runs under valgrind.
  static bool Available();

  void Start();
  // Dumps what was counted since Start and returns its instruction count.
  double Stop(const std::string& label);

 private:
  std::string m_outFile;
  int m_dumps = 0;
};

}  // namespace bench

#endif  // NOISEBIND_BENCH_CALLGRIND_PROBE_H
