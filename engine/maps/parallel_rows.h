// Rows of a map computed on several threads. Each row is computed whole by
// one worker from its index alone, so the result is the same for any
// number of threads; a failure reports the first failing row, whichever
// thread met it.
#ifndef NOISEBIND_MAPS_PARALLEL_ROWS_H
#define NOISEBIND_MAPS_PARALLEL_ROWS_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace noisebind::maps {

// Told the fraction of rows done: 0 before work, then now and then, and 1
// at the end. Called on the calling thread only.
using Progress = std::function<void(double done)>;

class RowWorker {
 public:
  virtual ~RowWorker() = default;
  // Computes row `row`; false, with the reason in `error`, when it fails.
  virtual bool Row(std::uint32_t row, std::string* error) = 0;
};

class RowTask {
 public:
  virtual ~RowTask() = default;
  // The state of one worker, made on the calling thread before threads start.
  virtual std::unique_ptr<RowWorker> NewWorker() const = 0;
};

struct RunOptions {
  unsigned threads = 1;                // kThreadsBySize: ThreadsFor the map's points
  const Progress* progress = nullptr;  // null: nobody is told
};

constexpr unsigned kThreadsBySize = 0;

// Every core.
unsigned DefaultThreads();

// The threads a map of `points` values gets by default: one for every
// kPointsPerThread points, at most every core, so that each thread has
// work enough to pay for starting it (a chunk of 80 x 80 gets one).
constexpr std::uint64_t kPointsPerThread = 1 << 15;
unsigned ThreadsFor(std::uint64_t points);

// `run` with kThreadsBySize made ThreadsFor(points).
RunOptions Sized(const RunOptions& run, std::uint64_t points);

// Runs every row of `task`, on up to options.threads threads (the calling
// thread among them; fewer when threads cannot be started). Never throws.
// False, with the reason in `error`, when a row failed: the one with the
// lowest index.
bool RunRows(const RowTask& task, std::uint32_t rows, const RunOptions& options,
             std::string* error);

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_PARALLEL_ROWS_H
