// Tile addressing and job shares: which tile covers what, in which order,
// and which job writes it.
#include <gtest/gtest.h>

#include <map>

#include "engine/tiles/job_share.h"
#include "engine/tiles/tile_grid.h"

namespace noisebind::tiles {
namespace {

const TileGrid kSphere{Surface::kSphere, {}};
const TileGrid kPlane{Surface::kPlane, {-1.0, 2.0, 3.0, -2.0}};

TEST(TileGrid, LevelsCountTilesAsWebMapsDo) {
  EXPECT_EQ(TilesAcross(kSphere, 0), 2u);
  EXPECT_EQ(TilesAcross(kSphere, 3), 16u);
  EXPECT_EQ(TilesDown(3), 8u);
  EXPECT_EQ(TilesAcross(kPlane, 3), 8u);
  EXPECT_EQ(TileCount(kSphere, 0, 2), 2u + 8u + 32u);
  EXPECT_EQ(TileCount(kPlane, 1, 2), 4u + 16u);
  // The deepest level still counts in 64 bits.
  EXPECT_EQ(TileCount(kSphere, kMaxLevel, kMaxLevel), std::uint64_t{1} << 61);
}

TEST(TileGrid, PyramidOrderIsLevelThenRowThenColumn) {
  const struct {
    std::uint64_t index;
    TileAddress tile;
  } cases[] = {
      {0, {0, 0, 0}}, {1, {0, 1, 0}}, {2, {1, 0, 0}},  {5, {1, 3, 0}},
      {6, {1, 0, 1}}, {9, {1, 3, 1}}, {10, {2, 0, 0}}, {41, {2, 7, 3}},
  };
  for (const auto& c : cases) {
    const TileAddress tile = TileAt(kSphere, 0, c.index);
    EXPECT_EQ(tile.level, c.tile.level) << c.index;
    EXPECT_EQ(tile.x, c.tile.x) << c.index;
    EXPECT_EQ(tile.y, c.tile.y) << c.index;
  }
}

TEST(TileGrid, AreasStartNorthWestAndShareEdges) {
  const struct {
    const TileGrid* grid;
    TileAddress tile;
    TileArea area;
  } cases[] = {
      {&kSphere, {0, 0, 0}, {-180.0, 0.0, 90.0, -90.0}},
      {&kSphere, {1, 2, 1}, {0.0, 90.0, 0.0, -90.0}},
      {&kSphere, {2, 7, 0}, {135.0, 180.0, 90.0, 45.0}},
      {&kPlane, {1, 1, 0}, {1.0, 3.0, 2.0, 0.0}},
      {&kPlane, {0, 0, 0}, {-1.0, 3.0, 2.0, -2.0}},
  };
  for (const auto& c : cases) {
    const TileArea area = AreaOf(*c.grid, c.tile);
    EXPECT_EQ(area.columnFrom, c.area.columnFrom);
    EXPECT_EQ(area.columnTo, c.area.columnTo);
    EXPECT_EQ(area.rowFrom, c.area.rowFrom);
    EXPECT_EQ(area.rowTo, c.area.rowTo);
  }
  // Any level: a tile's east edge is its neighbour's west edge, bit for bit.
  const TileGrid odd{Surface::kPlane, {0.1, 0.0, 0.7, 1.0}};
  for (std::uint32_t x = 0; x + 1 < 32; ++x)
    EXPECT_EQ(AreaOf(odd, {5, x, 0}).columnTo, AreaOf(odd, {5, x + 1, 0}).columnFrom);
}

TEST(TileGrid, ParsesLevelsAndBounds) {
  const struct {
    const char* text;
    bool ok;
    std::uint32_t from, to;
    const char* error;
  } levels[] = {
      {"0..3", true, 0, 3, ""},
      {"4", true, 4, 4, ""},
      {"3..2", false, 0, 0, "zoom must be levels A..B with 0 <= A <= B <= 30, got '3..2'"},
      {"0..31", false, 0, 0, "zoom must be levels A..B with 0 <= A <= B <= 30, got '0..31'"},
      {"-1..2", false, 0, 0, "zoom must be levels A..B with 0 <= A <= B <= 30, got '-1..2'"},
      {"", false, 0, 0, "zoom must be levels A..B with 0 <= A <= B <= 30, got ''"},
  };
  for (const auto& c : levels) {
    std::uint32_t from = 99, to = 99;
    std::string error;
    EXPECT_EQ(ParseLevels(c.text, &from, &to, &error), c.ok) << c.text;
    EXPECT_EQ(error, c.error);
    if (c.ok) {
      EXPECT_EQ(from * 100 + to, c.from * 100 + c.to) << c.text;
    }
  }
  const struct {
    const char* text;
    const char* error;
  } bounds[] = {
      {"-1,2,3,-2.5", ""},
      {"1,2,3", "plane bounds must be four finite numbers x0,x1,z0,z1, got '1,2,3'"},
      {"1,2,3,4,5", "plane bounds must be four finite numbers x0,x1,z0,z1, got '1,2,3,4,5'"},
      {"0,0,inf,1", "plane bounds must be four finite numbers x0,x1,z0,z1, got '0,0,inf,1'"},
      {"1,1,0,1", "plane bounds must span some width and height, got '1,1,0,1'"},
      {"0,1,2,2", "plane bounds must span some width and height, got '0,1,2,2'"},
  };
  for (const auto& c : bounds) {
    PlaneBounds parsed;
    std::string error;
    EXPECT_EQ(ParsePlaneBounds(c.text, &parsed, &error), *c.error == '\0') << c.text;
    EXPECT_EQ(error, c.error);
  }
  // In the order of the other verbs' --plane: x0, x1, z0, z1.
  PlaneBounds parsed;
  std::string error;
  ASSERT_TRUE(ParsePlaneBounds("-1,3,2,-2", &parsed, &error));
  EXPECT_EQ(parsed.x0 * 1000 + parsed.x1 * 100 + parsed.z0 * 10 + parsed.z1,
            -1000.0 + 300.0 + 20.0 - 2.0);
}

TEST(JobShare, ComesFromTheCommandLineOrTheScheduler) {
  using Variables = std::map<std::string, std::string>;
  const struct {
    const char* description;
    bool jobSet;
    std::uint64_t job;
    bool ofSet;
    std::uint64_t of;
    Variables variables;
    JobShare share;
    const char* error;
  } cases[] = {
      {"nothing: one job", false, 0, false, 0, {}, {0, 1}, ""},
      {"command line", true, 2, true, 7, {{"SLURM_ARRAY_TASK_ID", "1"}}, {2, 7}, ""},
      {"slurm",
       false,
       0,
       false,
       0,
       {{"SLURM_ARRAY_TASK_ID", "3"}, {"SLURM_ARRAY_TASK_COUNT", "7"}},
       {3, 7},
       ""},
      {"slurm from 1 in steps of 2",
       false,
       0,
       false,
       0,
       {{"SLURM_ARRAY_TASK_ID", "5"},
        {"SLURM_ARRAY_TASK_COUNT", "4"},
        {"SLURM_ARRAY_TASK_MIN", "1"},
        {"SLURM_ARRAY_TASK_STEP", "2"}},
       {2, 4},
       ""},
      {"kubernetes",
       false,
       0,
       false,
       0,
       {{"JOB_COMPLETION_INDEX", "0"}, {"JOB_COMPLETIONS", "3"}},
       {0, 3},
       ""},
      {"half a pair", true, 1, false, 0, {}, {}, "--job and --of go together"},
      {"job beyond",
       true,
       7,
       true,
       7,
       {},
       {},
       "job 7 of 7 (from the command line): jobs are numbered from 0 to N - 1, N from 1 to "
       "4294967296"},
      {"slurm without a count",
       false,
       0,
       false,
       0,
       {{"SLURM_ARRAY_TASK_ID", "3"}},
       {},
       "SLURM_ARRAY_TASK_ID is set but SLURM_ARRAY_TASK_COUNT is not"},
      {"not a number",
       false,
       0,
       false,
       0,
       {{"SLURM_ARRAY_TASK_ID", "3x"}, {"SLURM_ARRAY_TASK_COUNT", "7"}},
       {},
       "SLURM_ARRAY_TASK_ID must be a whole number up to 4294967296, got '3x'"},
      {"kubernetes without completions",
       false,
       0,
       false,
       0,
       {{"JOB_COMPLETION_INDEX", "0"}},
       {},
       "JOB_COMPLETION_INDEX is set but JOB_COMPLETIONS is not (set it to the job's "
       "completions)"},
  };
  for (const auto& c : cases) {
    JobShare share{99, 99};
    std::string error;
    const Variables& variables = c.variables;
    const bool ok = ResolveJob(
        c.jobSet, c.job, c.ofSet, c.of,
        [&](const char* name) {
          const auto found = variables.find(name);
          return found == variables.end() ? nullptr : found->second.c_str();
        },
        &share, &error);
    EXPECT_EQ(ok, *c.error == '\0') << c.description;
    EXPECT_EQ(error, c.error) << c.description;
    if (ok) {
      EXPECT_EQ(share.index * 1000 + share.count, c.share.index * 1000 + c.share.count)
          << c.description;
    }
  }
}

}  // namespace
}  // namespace noisebind::tiles
