// Which share of a pyramid's tiles one job writes: job K of N takes every
// Nth tile of the pyramid order from the Kth, so each job gets the same
// number of tiles of every level (balanced by cost: all tiles of a pyramid
// cost alike). K and N come from the command line or from the variables a
// scheduler sets for each task of a job array.
#ifndef NOISEBIND_TILES_JOB_SHARE_H
#define NOISEBIND_TILES_JOB_SHARE_H

#include <cstdint>
#include <functional>
#include <string>

namespace noisebind::tiles {

struct JobShare {
  std::uint64_t index = 0;  // K, from 0
  std::uint64_t count = 1;  // N
};

inline bool InShare(const JobShare& job, std::uint64_t tile) {
  return tile % job.count == job.index;
}

// Reads an environment variable: null when it is not set.
using Environment = std::function<const char*(const char* name)>;

// The job from `job` and `of` when given (both or neither; set = true),
// else from the scheduler's variables, else job 0 of 1:
// - Slurm job arrays: SLURM_ARRAY_TASK_ID, SLURM_ARRAY_TASK_COUNT, and
//   SLURM_ARRAY_TASK_MIN and SLURM_ARRAY_TASK_STEP when set (K = (ID -
//   MIN) / STEP), so `--array=1-7` and `--array=0-12:2` work too;
// - Kubernetes Indexed Jobs: JOB_COMPLETION_INDEX, with the job's
//   completions in JOB_COMPLETIONS (Kubernetes does not set it: the
//   manifest does).
// False with the reason when the numbers are not whole, K >= N, N = 0, or
// only half of a pair is there.
bool ResolveJob(bool jobSet, std::uint64_t job, bool ofSet, std::uint64_t of,
                const Environment& environment, JobShare* share, std::string* error);

}  // namespace noisebind::tiles

#endif  // NOISEBIND_TILES_JOB_SHARE_H
