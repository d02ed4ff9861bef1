#include "subjects.h"

namespace bench {

const std::vector<Subject>& Subjects() {
  static const std::vector<Subject> list = [] {
    std::vector<Subject> all;
    AddModuleSubjects(all);
    AddModelSubjects(all);
    AddPrimarySubjects(all);
    AddObjectSubjects(all);
    return all;
  }();
  return list;
}

}  // namespace bench
