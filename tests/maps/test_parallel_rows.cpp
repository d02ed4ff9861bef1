#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/maps/parallel_rows.h"

namespace noisebind::maps {
namespace {

// Writes a value derived from the row into its own slot; fails (or throws)
// at the rows it is told to.
class Rows final : public RowTask {
 public:
  explicit Rows(std::uint32_t count) : values(count, 0) {}
  std::unique_ptr<RowWorker> NewWorker() const override {
    ++workers;
    return std::make_unique<Worker>(*this);
  }

  mutable std::vector<std::uint64_t> values;
  mutable std::atomic<int> workers{0};
  std::vector<std::uint32_t> failing;
  std::uint32_t throwing = UINT32_MAX;

 private:
  class Worker final : public RowWorker {
   public:
    explicit Worker(const Rows& rows) : m_rows(rows) {}
    bool Row(std::uint32_t row, std::string* error) override {
      if (row == m_rows.throwing) throw std::runtime_error("thrown");
      for (std::uint32_t failing : m_rows.failing) {
        if (row == failing) {
          *error = "row " + std::to_string(row) + " failed";
          return false;
        }
      }
      m_rows.values[row] = (std::uint64_t{row} + 1) * 2654435761u;
      return true;
    }

   private:
    const Rows& m_rows;
  };
};

TEST(ParallelRows, EveryRowOnceWhateverTheThreadCount) {
  for (unsigned threads : {1u, 2u, 3u, 8u, 64u}) {
    Rows rows(1000);
    std::string error;
    ASSERT_TRUE(RunRows(rows, 1000, RunOptions{threads, nullptr}, &error)) << threads;
    for (std::uint32_t row = 0; row < 1000; ++row) {
      ASSERT_EQ(rows.values[row], (std::uint64_t{row} + 1) * 2654435761u) << threads << " " << row;
    }
    // Never more workers than rows or than asked for.
    EXPECT_LE(rows.workers.load(), static_cast<int>(threads));
  }
  Rows few(3);
  std::string error;
  ASSERT_TRUE(RunRows(few, 3, RunOptions{16, nullptr}, &error));
  EXPECT_EQ(few.workers.load(), 3);
}

TEST(ParallelRows, TheLowestFailingRowIsReportedWhateverTheThreadCount) {
  for (unsigned threads : {1u, 2u, 4u, 7u}) {
    for (int repeat = 0; repeat < 20; ++repeat) {
      Rows rows(500);
      rows.failing = {431, 97, 98, 250};
      std::string error;
      EXPECT_FALSE(RunRows(rows, 500, RunOptions{threads, nullptr}, &error));
      EXPECT_EQ(error, "row 97 failed") << threads;
      // Every row before it was computed.
      for (std::uint32_t row = 0; row < 97; ++row) ASSERT_NE(rows.values[row], 0u) << row;
    }
  }
}

TEST(ParallelRows, AnExceptionBecomesAFailureAndNeverEscapes) {
  for (unsigned threads : {1u, 3u}) {
    Rows rows(100);
    rows.throwing = 40;
    std::string error;
    EXPECT_FALSE(RunRows(rows, 100, RunOptions{threads, nullptr}, &error));
    EXPECT_EQ(error, "internal error while computing the map");
  }
}

TEST(ParallelRows, ProgressStartsAtZeroEndsAtOneAndOnlyOnTheCallingThread) {
  Rows rows(200);
  std::vector<double> told;
  const std::thread::id caller = std::this_thread::get_id();
  bool elsewhere = false;
  const Progress progress = [&](double done) {
    told.push_back(done);
    elsewhere = elsewhere || std::this_thread::get_id() != caller;
  };
  std::string error;
  ASSERT_TRUE(RunRows(rows, 200, RunOptions{4, &progress}, &error));
  ASSERT_GE(told.size(), 2u);
  EXPECT_EQ(told.front(), 0.0);
  EXPECT_EQ(told.back(), 1.0);
  EXPECT_FALSE(elsewhere);
  // A display that throws does not fail the map.
  const Progress broken = [](double) { throw std::runtime_error("display"); };
  EXPECT_TRUE(RunRows(rows, 200, RunOptions{2, &broken}, &error));
}

TEST(ParallelRows, NoRowsIsNoWork) {
  Rows rows(0);
  std::string error;
  EXPECT_TRUE(RunRows(rows, 0, RunOptions{4, nullptr}, &error));
  EXPECT_EQ(rows.workers.load(), 0);
  EXPECT_GE(DefaultThreads(), 1u);
}

// The default threads by size: one for a chunk, every core for a large
// map; a number given stays as given.
TEST(ParallelRows, DefaultThreadsBySize) {
  const unsigned cores = DefaultThreads();
  struct Case {
    unsigned threads;
    std::uint64_t points;
    unsigned expected;
  } const cases[] = {
      {kThreadsBySize, 1, 1},
      {kThreadsBySize, 80 * 80, 1},
      {kThreadsBySize, 2 * kPointsPerThread - 1, 1},
      {kThreadsBySize, 2 * kPointsPerThread, std::min(2u, cores)},
      {kThreadsBySize, 1024 * 1024, std::min(32u, cores)},
      {kThreadsBySize, std::uint64_t{1} << 40, cores},
      {3, 1, 3},
      {1, 1024 * 1024, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sized(RunOptions{c.threads, nullptr}, c.points).threads, c.expected)
        << c.threads << " threads, " << c.points << " points";
  }
}

}  // namespace
}  // namespace noisebind::maps
