// A tile pyramid on disk: DIR/z/x/y.png for every tile of the levels, and
// DIR/tiles.json, TileJSON with what made the tiles (the graph's digest,
// the grid, the format and style). Jobs write their shares into one folder
// at once; each tile appears whole or not at all.
#ifndef NOISEBIND_TILES_PYRAMID_H
#define NOISEBIND_TILES_PYRAMID_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/maps/point_source.h"
#include "engine/tiles/job_share.h"
#include "engine/tiles/tile_grid.h"
#include "engine/tiles/tile_maker.h"

namespace noisebind::tiles {

struct PyramidPlan {
  TileGrid grid;
  std::uint32_t fromLevel = 0;
  std::uint32_t toLevel = 0;
  std::uint32_t tileSize = 256;
  TileFormat format = TileFormat::kPng;
  TileStyle style = DefaultStyle();
  std::string name;         // shown by map pages
  std::string graphDigest;  // SHA-256 of the graph's text
  std::string output;       // the graph's output that was sampled
};

// The metadata file's name in the pyramid's folder.
constexpr const char* kMetadataName = "tiles.json";

// The metadata's text: the same bytes for the same plan.
std::string MetadataText(const PyramidPlan& plan);

// "z/x/y.png"
std::string TilePath(const TileAddress& tile);

struct WriteReport {
  std::uint64_t written = 0;
  std::uint64_t skipped = 0;  // complete already
  std::uint64_t removedTemporaries = 0;
};

// Told after each tile of the share: the tiles done and the share's total.
using TileProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Writes job `job`'s share of the pyramid into `folder` (made when
// missing): the metadata (refusing a folder whose metadata differs, i.e. a
// pyramid of another graph or settings), then each tile of the share that
// is not there yet, through a temporary `.y.png.tmp` beside it; a
// temporary that a killed run left for a tile of the share is removed
// first. Never throws; false with the reason (naming the tile) at the
// first failure, the tiles written so far kept.
bool WritePyramid(const maps::PointSource& source, const PyramidPlan& plan,
                  const std::string& folder, const JobShare& job, unsigned threads,
                  const TileProgress& progress, WriteReport* report, std::string* error);

struct VerifyReport {
  std::uint64_t checked = 0;
  std::vector<std::string> missing;    // tile paths
  std::vector<std::string> damaged;    // other bytes than the tile's
  std::vector<std::string> leftovers;  // temporaries of killed runs
  bool Complete() const { return missing.empty() && damaged.empty() && leftovers.empty(); }
};

// Checks job `job`'s share of the pyramid in `folder` against `plan`: the
// metadata must be `plan`'s, and every tile the bytes MakeTile gives now
// (tiles are recomputed, so verifying costs what writing did; split it as
// writing is split). False with the reason only when the check could not be
// made (no or other metadata, a tile that cannot be made); problems with
// tiles go into the report.
bool VerifyPyramid(const maps::PointSource& source, const PyramidPlan& plan,
                   const std::string& folder, const JobShare& job, unsigned threads,
                   const TileProgress& progress, VerifyReport* report, std::string* error);

}  // namespace noisebind::tiles

#endif  // NOISEBIND_TILES_PYRAMID_H
