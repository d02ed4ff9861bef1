#include "programs/vessa/progress_bar.h"

#include <unistd.h>

#include <chrono>
#include <utility>

namespace vessa {
namespace {

constexpr double kQuietSeconds = 1.0;
constexpr int kBarWidth = 40;

double SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

ProgressBar::ProgressBar(std::FILE* out, std::function<double()> seconds)
    : m_out(out), m_seconds(std::move(seconds)) {}

void ProgressBar::operator()(double done) {
  const double now = m_seconds();
  if (done <= 0.0) {
    m_start = now;
    m_shown = false;
    return;
  }
  // Work done within a second shows nothing, not even at its end.
  if (!m_shown && now - m_start < kQuietSeconds) return;
  if (!m_shown && done >= 1.0) return;
  m_shown = true;
  Draw(done, now - m_start);
}

void ProgressBar::Draw(double done, double elapsed) {
  const double fraction = done < 1.0 ? done : 1.0;
  const int filled = static_cast<int>(fraction * kBarWidth);
  char bar[kBarWidth + 1];
  for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kBarWidth] = '\0';
  std::fprintf(m_out, "\rmap [%s] %3d%% %.1f s%s", bar, static_cast<int>(fraction * 100.0), elapsed,
               done >= 1.0 ? "\n" : "");
  std::fflush(m_out);
}

std::function<void(double)> TerminalProgress() {
  if (isatty(fileno(stderr)) == 0) return {};
  return ProgressBar(stderr, SteadySeconds);
}

}  // namespace vessa
