// Where the tiles of a pyramid lie: level z of a sphere is 2^(z+1) x 2^z
// tiles of the equirectangular globe, level z of a plane 2^z x 2^z tiles of
// its bounds; tile (0, 0) is the north-west corner (the plane's first
// column and first row), columns run east, rows south, as web maps number
// them.
#ifndef NOISEBIND_TILES_TILE_GRID_H
#define NOISEBIND_TILES_TILE_GRID_H

#include <cstdint>
#include <string>

namespace noisebind::tiles {

// Levels deeper than this would number more tiles than 64 bits hold.
constexpr std::uint32_t kMaxLevel = 30;

enum class Surface { kSphere, kPlane };

// A plane's columns run from x0 to x1, its rows from z0 (the top) to z1.
struct PlaneBounds {
  double x0 = -1.0;
  double z0 = -1.0;
  double x1 = 1.0;
  double z1 = 1.0;
};

struct TileGrid {
  Surface surface = Surface::kSphere;
  PlaneBounds plane;  // planes only
};

struct TileAddress {
  std::uint32_t level;
  std::uint32_t x;  // column, from the west
  std::uint32_t y;  // row, from the north
};

// The tiles of a level across and down; level at most kMaxLevel.
std::uint64_t TilesAcross(const TileGrid& grid, std::uint32_t level);
std::uint64_t TilesDown(std::uint32_t level);

// True when the tile is one of its level's.
bool TileInGrid(const TileGrid& grid, const TileAddress& tile);

// What a tile covers: columns (longitude in degrees, or plane x) from
// columnFrom to columnTo, rows (latitude, or plane z) from rowFrom (its top)
// to rowTo. Computed from the address alone, so every job agrees.
struct TileArea {
  double columnFrom;
  double columnTo;
  double rowFrom;
  double rowTo;
};
TileArea AreaOf(const TileGrid& grid, const TileAddress& tile);

// The tiles of levels `from` to `to` (from <= to <= kMaxLevel) in pyramid
// order: level by level, row by row, west to east.
std::uint64_t TileCount(const TileGrid& grid, std::uint32_t from, std::uint32_t to);
// Tile `index` (below TileCount) of that order.
TileAddress TileAt(const TileGrid& grid, std::uint32_t from, std::uint64_t index);

// "x0,x1,z0,z1" (the order of the other verbs' --plane and of
// noise.planemap) into bounds: four finite numbers, x0 != x1, z0 != z1.
// False with the reason otherwise.
bool ParsePlaneBounds(const std::string& text, PlaneBounds* bounds, std::string* error);
// "A..B" or "A" into levels from A to B, A <= B <= kMaxLevel.
bool ParseLevels(const std::string& text, std::uint32_t* from, std::uint32_t* to,
                 std::string* error);

}  // namespace noisebind::tiles

#endif  // NOISEBIND_TILES_TILE_GRID_H
