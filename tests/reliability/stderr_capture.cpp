#include "stderr_capture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace noisebind::reliability {

StderrCapture::StderrCapture() {
  std::fflush(stderr);
  char name[] = "/tmp/noisebind-stderr-XXXXXX";
  m_file = mkstemp(name);
  if (m_file < 0) {
    std::perror("mkstemp");
    std::exit(2);
  }
  unlink(name);
  m_saved = dup(2);
  dup2(m_file, 2);
}

StderrCapture::~StderrCapture() {
  const std::string rest = Take();
  dup2(m_saved, 2);
  close(m_saved);
  close(m_file);
  if (!rest.empty()) std::fputs(rest.c_str(), stderr);
}

std::string StderrCapture::Take() {
  std::fflush(stderr);
  std::string text;
  char buffer[4096];
  lseek(m_file, 0, SEEK_SET);
  ssize_t got;
  while ((got = read(m_file, buffer, sizeof(buffer))) > 0) {
    text.append(buffer, static_cast<size_t>(got));
  }
  if (ftruncate(m_file, 0) != 0) std::perror("ftruncate");
  lseek(m_file, 0, SEEK_SET);
  return text;
}

}  // namespace noisebind::reliability
