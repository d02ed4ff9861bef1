// Pyramids on disk: any split gives the same files, a killed run is
// finished by running again, and the check names what is wrong.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "engine/graph/classes.h"
#include "engine/maps/node_source.h"
#include "engine/tiles/pyramid.h"
#include "scratch_directory.h"

namespace noisebind::tiles {
namespace {

struct Perlin {
  Perlin() : node(objects::CreateNode(objects::Kind::kPerlin)), source(*node) {}
  ~Perlin() { objects::DestroyNode(node); }
  objects::Node* node;
  maps::NodeSource<objects::Node> source;
};

PyramidPlan SmallSpec() {
  PyramidPlan plan;
  plan.fromLevel = 0;
  plan.toLevel = 2;
  plan.tileSize = 16;
  plan.name = "perlin";
  plan.graphDigest = "0123";
  return plan;
}

// Every file under `folder` by its relative name, with its bytes.
std::map<std::string, std::string> Files(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files[entry.path().lexically_relative(folder).string()] = bytes.str();
  }
  return files;
}

bool Write(const Perlin& perlin, const PyramidPlan& plan, const std::string& folder, JobShare job,
           WriteReport* report, std::string* error) {
  return WritePyramid(perlin.source, plan, folder, job, 1, nullptr, report, error);
}

TEST(Pyramid, AnySplitWritesTheSameFiles) {
  Perlin perlin;
  vessa_test::ScratchDirectory scratch;
  const PyramidPlan plan = SmallSpec();
  WriteReport report;
  std::string error;
  ASSERT_TRUE(Write(perlin, plan, scratch.File("one"), {0, 1}, &report, &error)) << error;
  EXPECT_EQ(report.written, 42u);
  for (std::uint64_t k = 0; k < 5; ++k) {
    WriteReport share;
    ASSERT_TRUE(Write(perlin, plan, scratch.File("five"), {k, 5}, &share, &error)) << error;
    EXPECT_EQ(share.written, k < 2 ? 9u : 8u);
  }
  const auto one = Files(scratch.File("one"));
  EXPECT_EQ(one.size(), 43u);
  EXPECT_TRUE(one == Files(scratch.File("five")));
  EXPECT_EQ(one.count("2/7/3.png"), 1u);
  EXPECT_EQ(one.at("tiles.json"), MetadataText(plan));
}

TEST(Pyramid, RunAgainFinishesAKilledRunAndVerifyNamesTheFaults) {
  Perlin perlin;
  vessa_test::ScratchDirectory scratch;
  const PyramidPlan plan = SmallSpec();
  const std::string folder = scratch.File("p");
  WriteReport report;
  VerifyReport check;
  std::string error;
  ASSERT_TRUE(Write(perlin, plan, folder, {0, 1}, &report, &error)) << error;
  const auto whole = Files(folder);
  // What a killed run leaves: a tile not written, its temporary half full;
  // and a tile damaged since.
  ASSERT_EQ(unlink((folder + "/1/2/0.png").c_str()), 0);
  std::ofstream(folder + "/1/2/.0.png.tmp") << "half";
  std::ofstream(folder + "/2/3/1.png", std::ios::binary | std::ios::app) << "x";
  ASSERT_TRUE(VerifyPyramid(perlin.source, plan, folder, {0, 1}, 1, nullptr, &check, &error));
  EXPECT_EQ(check.checked, 42u);
  EXPECT_EQ(check.missing, std::vector<std::string>{"1/2/0.png"});
  EXPECT_EQ(check.damaged, std::vector<std::string>{"2/3/1.png"});
  EXPECT_EQ(check.leftovers, std::vector<std::string>{"1/2/.0.png.tmp"});
  // Run again: the missing tile written, the temporary gone; the damaged
  // tile is whole as a file, so it stays until removed.
  report = WriteReport{};
  ASSERT_TRUE(Write(perlin, plan, folder, {0, 1}, &report, &error)) << error;
  EXPECT_EQ(report.written * 100 + report.skipped * 10 + report.removedTemporaries,
            100u + 410u + 1u);
  ASSERT_EQ(unlink((folder + "/2/3/1.png").c_str()), 0);
  // Tile 21 of the pyramid order: job 0 of 3's.
  ASSERT_TRUE(Write(perlin, plan, folder, {0, 3}, &report, &error)) << error;
  EXPECT_TRUE(whole == Files(folder));
  check = VerifyReport{};
  ASSERT_TRUE(VerifyPyramid(perlin.source, plan, folder, {0, 1}, 1, nullptr, &check, &error));
  EXPECT_TRUE(check.Complete());
}

TEST(Pyramid, RefusesAFolderOfAnotherPyramid) {
  Perlin perlin;
  vessa_test::ScratchDirectory scratch;
  PyramidPlan plan = SmallSpec();
  plan.toLevel = 0;
  WriteReport report;
  VerifyReport check;
  std::string error;
  ASSERT_TRUE(Write(perlin, plan, scratch.path(), {0, 1}, &report, &error)) << error;
  plan.graphDigest = "4567";
  const std::string other = scratch.path() +
                            "/tiles.json describes another pyramid (another graph or other "
                            "settings): write this one into another folder";
  EXPECT_FALSE(Write(perlin, plan, scratch.path(), {0, 1}, &report, &error));
  EXPECT_EQ(error, other);
  EXPECT_FALSE(
      VerifyPyramid(perlin.source, plan, scratch.path(), {0, 1}, 1, nullptr, &check, &error));
  EXPECT_EQ(error, other);
  EXPECT_FALSE(
      VerifyPyramid(perlin.source, plan, scratch.File("none"), {0, 1}, 1, nullptr, &check, &error));
  EXPECT_EQ(error, scratch.File("none") + "/tiles.json is missing: not a pyramid, or not begun");
}

}  // namespace
}  // namespace noisebind::tiles
