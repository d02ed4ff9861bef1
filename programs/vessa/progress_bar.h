// vessa's progress display for long work (a map): a bar on standard error
// once the work has taken a second, redrawn in place, finished with its
// time.
#ifndef VESSA_HOST_PROGRESS_BAR_H
#define VESSA_HOST_PROGRESS_BAR_H

#include <cstdio>
#include <functional>

namespace vessa {

class ProgressBar {
 public:
  // Draws on `out`; `seconds` tells the time (a monotonic clock).
  ProgressBar(std::FILE* out, std::function<double()> seconds);

  // Told 0 when work starts, the fraction done now and then, 1 at the end.
  void operator()(double done);

 private:
  void Draw(double done, double elapsed);

  std::FILE* m_out;
  std::function<double()> m_seconds;
  double m_start = 0.0;
  bool m_shown = false;
};

// The display vessa sets for its states: a ProgressBar on standard error
// when that is a terminal, and nothing (an empty function) otherwise.
std::function<void(double)> TerminalProgress();

}  // namespace vessa

#endif  // VESSA_HOST_PROGRESS_BAR_H
