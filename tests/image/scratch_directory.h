// A directory of its own for each test that writes files.
#ifndef VESSA_TESTS_IMAGE_SCRATCH_DIRECTORY_H
#define VESSA_TESTS_IMAGE_SCRATCH_DIRECTORY_H

#include <string>
#include <vector>

namespace vessa_test {

// A fresh directory for one test, removed with everything in it.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + "/" + name; }
  std::vector<std::string> Names() const;

 private:
  std::string m_path;
};

}  // namespace vessa_test

#endif  // VESSA_TESTS_IMAGE_SCRATCH_DIRECTORY_H
