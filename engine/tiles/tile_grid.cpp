#include "engine/tiles/tile_grid.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "engine/maps/map_builder.h"

namespace noisebind::tiles {
namespace {

// A whole number of at most `most`, in decimal digits only.
bool ParseWhole(const std::string& text, std::uint64_t most, std::uint64_t* value) {
  if (text.empty() || text.size() > 19) return false;
  std::uint64_t result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (result > most) return false;
  *value = result;
  return true;
}

bool ParseFinite(const std::string& text, double* value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const double result = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(result)) return false;
  *value = result;
  return true;
}

}  // namespace

std::uint64_t TilesAcross(const TileGrid& grid, std::uint32_t level) {
  return std::uint64_t{1} << (grid.surface == Surface::kSphere ? level + 1 : level);
}

std::uint64_t TilesDown(std::uint32_t level) {
  return std::uint64_t{1} << level;
}

bool TileInGrid(const TileGrid& grid, const TileAddress& tile) {
  return tile.level <= kMaxLevel && tile.x < TilesAcross(grid, tile.level) &&
         tile.y < TilesDown(tile.level);
}

TileArea AreaOf(const TileGrid& grid, const TileAddress& tile) {
  const auto across = static_cast<std::uint32_t>(TilesAcross(grid, tile.level));
  const auto down = static_cast<std::uint32_t>(TilesDown(tile.level));
  double west = -180.0, east = 180.0, north = 90.0, south = -90.0;
  if (grid.surface == Surface::kPlane) {
    west = grid.plane.x0;
    east = grid.plane.x1;
    north = grid.plane.z0;
    south = grid.plane.z1;
  }
  // Each edge from its own index, so that neighbours share their edge
  // exactly; the last edge is the bound itself.
  auto edge = [](double from, double to, std::uint32_t index, std::uint32_t count) {
    return index == count ? to : maps::GridCoordinate(from, to, index, count);
  };
  return TileArea{edge(west, east, tile.x, across), edge(west, east, tile.x + 1, across),
                  edge(north, south, tile.y, down), edge(north, south, tile.y + 1, down)};
}

std::uint64_t TileCount(const TileGrid& grid, std::uint32_t from, std::uint32_t to) {
  std::uint64_t count = 0;
  for (std::uint32_t level = from; level <= to; ++level)
    count += TilesAcross(grid, level) * TilesDown(level);
  return count;
}

TileAddress TileAt(const TileGrid& grid, std::uint32_t from, std::uint64_t index) {
  std::uint32_t level = from;
  for (;; ++level) {
    const std::uint64_t inLevel = TilesAcross(grid, level) * TilesDown(level);
    if (index < inLevel || level == kMaxLevel) break;
    index -= inLevel;
  }
  const std::uint64_t across = TilesAcross(grid, level);
  return TileAddress{level, static_cast<std::uint32_t>(index % across),
                     static_cast<std::uint32_t>(index / across)};
}

bool ParsePlaneBounds(const std::string& text, PlaneBounds* bounds, std::string* error) {
  double values[4];
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    const std::size_t comma = i == 3 ? text.size() : text.find(',', start);
    if (comma == std::string::npos || !ParseFinite(text.substr(start, comma - start), &values[i])) {
      *error = "plane bounds must be four finite numbers x0,x1,z0,z1, got '" + text + "'";
      return false;
    }
    start = comma + 1;
  }
  if (values[0] == values[1] || values[2] == values[3]) {
    *error = "plane bounds must span some width and height, got '" + text + "'";
    return false;
  }
  *bounds = PlaneBounds{values[0], values[2], values[1], values[3]};
  return true;
}

bool ParseLevels(const std::string& text, std::uint32_t* from, std::uint32_t* to,
                 std::string* error) {
  const std::size_t dots = text.find("..");
  std::uint64_t a = 0, b = 0;
  const bool parsed = dots == std::string::npos
                          ? ParseWhole(text, kMaxLevel, &a) && (b = a, true)
                          : ParseWhole(text.substr(0, dots), kMaxLevel, &a) &&
                                ParseWhole(text.substr(dots + 2), kMaxLevel, &b);
  if (!parsed || a > b) {
    *error = "zoom must be levels A..B with 0 <= A <= B <= " + std::to_string(kMaxLevel) +
             ", got '" + text + "'";
    return false;
  }
  *from = static_cast<std::uint32_t>(a);
  *to = static_cast<std::uint32_t>(b);
  return true;
}

}  // namespace noisebind::tiles
