// What the command's verbs give back: 0 done, 1 the input was wrong (a
// file unreadable or refused, a graph that cannot be evaluated, a file
// that cannot be written), 2 the command line was wrong. Messages go to
// standard error.
#ifndef NOISEBIND_CLI_EXIT_STATUS_H
#define NOISEBIND_CLI_EXIT_STATUS_H

#include <string>

namespace noisebind::cli {

enum ExitStatus { kDone = 0, kInputWrong = 1, kUsageWrong = 2 };

// A failure on its way out: the status and the line to print. A message
// that starts with the file and its place is printed as it is, as
// compilers print theirs, so that editors can jump to it.
struct Failure {
  ExitStatus status;
  std::string message;
  bool placed = false;
};

// Prints "noisebind: message" (or a placed message alone) to standard
// error; gives the status.
int Report(const Failure& failure);

}  // namespace noisebind::cli

#endif  // NOISEBIND_CLI_EXIT_STATUS_H
