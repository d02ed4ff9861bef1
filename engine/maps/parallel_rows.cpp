#include "engine/maps/parallel_rows.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <new>
#include <thread>
#include <vector>

namespace noisebind::maps {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressInterval = std::chrono::milliseconds(100);
constexpr std::uint32_t kNoFailure = UINT32_MAX;

// What the workers share: the next row to take, rows finished, and the
// lowest row that failed.
struct Shared {
  std::uint32_t rows;
  std::atomic<std::uint32_t> next{0};
  std::atomic<std::uint32_t> done{0};
  std::atomic<std::uint32_t> failedRow{kNoFailure};
};

// One worker's loop; the reason for its lowest failing row stays with it.
struct Slot {
  std::unique_ptr<RowWorker> worker;
  std::uint32_t failedRow = kNoFailure;
  std::string error;
};

void LowerFailure(Shared& shared, std::uint32_t row) {
  std::uint32_t seen = shared.failedRow.load(std::memory_order_relaxed);
  while (row < seen && !shared.failedRow.compare_exchange_weak(seen, row)) {
  }
}

// Takes the next row; false when none is left, or every row left lies past
// a failure. Rows below a failure are all taken before it, and finished.
bool TakeRow(Shared& shared, std::uint32_t* row) {
  *row = shared.next.fetch_add(1, std::memory_order_relaxed);
  return *row < shared.rows && *row < shared.failedRow.load(std::memory_order_relaxed);
}

void RunRow(Shared& shared, Slot& slot, std::uint32_t row) {
  bool ok = false;
  try {
    ok = slot.worker->Row(row, &slot.error);
  } catch (const std::bad_alloc&) {
    slot.error = "not enough memory";
  } catch (...) {
    slot.error = "internal error while computing the map";
  }
  if (!ok) {
    // Strings may throw too: keep the failure even without its reason.
    if (row < slot.failedRow) slot.failedRow = row;
    LowerFailure(shared, row);
    return;
  }
  shared.done.fetch_add(1, std::memory_order_relaxed);
}

void Tell(const Progress* progress, double done) {
  if (progress == nullptr) return;
  try {
    (*progress)(done);
  } catch (...) {
    // A display that fails must not fail the map.
  }
}

void WorkerLoop(Shared& shared, Slot& slot) {
  std::uint32_t row = 0;
  while (TakeRow(shared, &row)) {
    RunRow(shared, slot, row);
    if (slot.failedRow != kNoFailure) return;
  }
}

// The calling thread works too, and tells the progress between its rows.
void CallerLoop(Shared& shared, Slot& slot, const Progress* progress) {
  Clock::time_point told = Clock::now();
  std::uint32_t row = 0;
  while (TakeRow(shared, &row)) {
    RunRow(shared, slot, row);
    if (slot.failedRow != kNoFailure) return;
    if (progress != nullptr && Clock::now() - told >= kProgressInterval) {
      told = Clock::now();
      Tell(progress,
           static_cast<double>(shared.done.load(std::memory_order_relaxed)) / shared.rows);
    }
  }
}

bool Run(const RowTask& task, std::uint32_t rows, const RunOptions& options, std::string* error) {
  const unsigned wanted = std::max(1u, std::min<unsigned>(options.threads, rows));
  std::vector<Slot> slots(wanted);
  for (Slot& slot : slots) slot.worker = task.NewWorker();
  Shared shared;
  shared.rows = rows;
  Tell(options.progress, 0.0);
  std::vector<std::thread> threads;
  threads.reserve(wanted - 1);
  for (unsigned i = 1; i < wanted; ++i) {
    try {
      threads.emplace_back(WorkerLoop, std::ref(shared), std::ref(slots[i]));
    } catch (...) {
      break;  // fewer threads, the same rows
    }
  }
  CallerLoop(shared, slots[0], options.progress);
  for (std::thread& thread : threads) thread.join();
  const std::uint32_t failed = shared.failedRow.load();
  if (failed == kNoFailure) {
    Tell(options.progress, 1.0);
    return true;
  }
  for (const Slot& slot : slots) {
    if (slot.failedRow == failed) *error = slot.error;
  }
  Tell(options.progress, 1.0);
  return false;
}

}  // namespace

unsigned DefaultThreads() {
  // Asked once: the system reads it from a file each time.
  static const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  return cores;
}

unsigned ThreadsFor(std::uint64_t points) {
  const std::uint64_t paying = std::max<std::uint64_t>(1, points / kPointsPerThread);
  return static_cast<unsigned>(std::min<std::uint64_t>(DefaultThreads(), paying));
}

RunOptions Sized(const RunOptions& run, std::uint64_t points) {
  RunOptions sized = run;
  if (sized.threads == kThreadsBySize) sized.threads = ThreadsFor(points);
  return sized;
}

bool RunRows(const RowTask& task, std::uint32_t rows, const RunOptions& options,
             std::string* error) {
  if (rows == 0) return true;
  try {
    return Run(task, rows, options, error);
  } catch (const std::bad_alloc&) {
    *error = "not enough memory";
  } catch (...) {
    *error = "internal error while computing the map";
  }
  return false;
}

}  // namespace noisebind::maps
