// Collects what is written to standard error, file descriptor 2 itself, for
// as long as the capture lives: the extension's lifetime trace writes there.
#ifndef NOISEBIND_TESTS_RELIABILITY_STDERR_CAPTURE_H
#define NOISEBIND_TESTS_RELIABILITY_STDERR_CAPTURE_H

#include <string>

namespace noisebind::reliability {

class StderrCapture {
 public:
  StderrCapture();
  // Puts standard error back; whatever was not taken is written to it.
  ~StderrCapture();
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  // Everything written since the capture began or the last Take.
  std::string Take();

 private:
  int m_saved;
  int m_file;
};

}  // namespace noisebind::reliability

#endif  // NOISEBIND_TESTS_RELIABILITY_STDERR_CAPTURE_H
