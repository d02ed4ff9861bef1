#include "engine/tiles/job_share.h"

namespace noisebind::tiles {
namespace {

constexpr std::uint64_t kMostJobs = std::uint64_t{1} << 32;

// A variable's whole number; absent leaves `value` as it is.
bool ReadVariable(const Environment& environment, const char* name, bool* present,
                  std::uint64_t* value, std::string* error) {
  const char* text = environment(name);
  *present = text != nullptr;
  if (text == nullptr) return true;
  std::uint64_t result = 0;
  const char* c = text;
  for (; *c >= '0' && *c <= '9' && result <= kMostJobs; ++c)
    result = result * 10 + static_cast<std::uint64_t>(*c - '0');
  if (c == text || *c != '\0' || result > kMostJobs) {
    *error = std::string(name) + " must be a whole number up to " + std::to_string(kMostJobs) +
             ", got '" + text + "'";
    return false;
  }
  *value = result;
  return true;
}

bool Check(std::uint64_t index, std::uint64_t count, const char* where, JobShare* share,
           std::string* error) {
  if (count == 0 || count > kMostJobs || index >= count) {
    *error = std::string("job ") + std::to_string(index) + " of " + std::to_string(count) + " (" +
             where + "): jobs are numbered from 0 to N - 1, N from 1 to " +
             std::to_string(kMostJobs);
    return false;
  }
  *share = JobShare{index, count};
  return true;
}

bool FromSlurm(const Environment& environment, bool* found, JobShare* share, std::string* error) {
  bool present = false, countPresent = false, minPresent = false, stepPresent = false;
  std::uint64_t id = 0, count = 0, min = 0, step = 1;
  if (!ReadVariable(environment, "SLURM_ARRAY_TASK_ID", &present, &id, error)) return false;
  *found = present;
  if (!present) return true;
  if (!ReadVariable(environment, "SLURM_ARRAY_TASK_COUNT", &countPresent, &count, error) ||
      !ReadVariable(environment, "SLURM_ARRAY_TASK_MIN", &minPresent, &min, error) ||
      !ReadVariable(environment, "SLURM_ARRAY_TASK_STEP", &stepPresent, &step, error))
    return false;
  if (!countPresent) {
    *error = "SLURM_ARRAY_TASK_ID is set but SLURM_ARRAY_TASK_COUNT is not";
    return false;
  }
  if (id < min || step == 0 || (id - min) % step != 0) {
    *error = "SLURM_ARRAY_TASK_ID " + std::to_string(id) + " is not on the array's steps";
    return false;
  }
  return Check((id - min) / step, count, "from Slurm", share, error);
}

bool FromKubernetes(const Environment& environment, bool* found, JobShare* share,
                    std::string* error) {
  bool present = false, countPresent = false;
  std::uint64_t index = 0, count = 0;
  if (!ReadVariable(environment, "JOB_COMPLETION_INDEX", &present, &index, error)) return false;
  *found = present;
  if (!present) return true;
  if (!ReadVariable(environment, "JOB_COMPLETIONS", &countPresent, &count, error)) return false;
  if (!countPresent) {
    *error =
        "JOB_COMPLETION_INDEX is set but JOB_COMPLETIONS is not (set it to the "
        "job's completions)";
    return false;
  }
  return Check(index, count, "from Kubernetes", share, error);
}

}  // namespace

bool ResolveJob(bool jobSet, std::uint64_t job, bool ofSet, std::uint64_t of,
                const Environment& environment, JobShare* share, std::string* error) {
  if (jobSet != ofSet) {
    *error = "--job and --of go together";
    return false;
  }
  if (jobSet) return Check(job, of, "from the command line", share, error);
  bool found = false;
  if (!FromSlurm(environment, &found, share, error)) return false;
  if (found) return true;
  if (!FromKubernetes(environment, &found, share, error)) return false;
  if (!found) *share = JobShare{};
  return true;
}

}  // namespace noisebind::tiles
