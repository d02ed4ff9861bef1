// One tile of a pyramid, sampled straight from a graph at the tile's own
// resolution, then encoded: what the tile command writes and what the
// studio's preview shows (its values, coloured by the page). Lua-free; the same bytes for the same
// arguments whatever the thread count or the machine.
#ifndef NOISEBIND_TILES_TILE_MAKER_H
#define NOISEBIND_TILES_TILE_MAKER_H

#include <cstdint>
#include <string>
#include <vector>

#include "engine/maps/map_builder.h"
#include "engine/maps/point_source.h"
#include "engine/render/gradient.h"
#include "engine/render/shading.h"
#include "engine/tiles/tile_grid.h"

namespace noisebind::tiles {

enum class TileFormat {
  kPng,          // coloured through a gradient, optionally lit: 8-bit RGB
  kHeightmap16,  // 16-bit grey, [low, high] onto 0 to 65535
  kTerrainRgb,   // 8-bit RGB: height = -10000 + (R * 65536 + G * 256 + B) * 0.1
};

// "png", "heightmap16", "terrain-rgb".
const char* FormatName(TileFormat format);
// False for any other name.
bool ParseFormat(const std::string& name, TileFormat* format);

constexpr std::uint32_t kMinTileSize = 1;
constexpr std::uint32_t kMaxTileSize = 4096;

// How values become pixels. Values are the graph's output as it is: every
// tile of a pyramid is scaled the same way, never by its own range.
struct TileStyle {
  std::vector<render::GradientStop> gradient;  // png: sorted, at least one stop
  bool lit = true;                             // png: hill shading
  // png: the light; its scale multiplies the level's own (the level's width
  // in pixels over 64, so that slopes look alike at every level).
  render::Light light;
  double low = -1.0;  // heightmap16: the values at grey 0 and 65535
  double high = 1.0;
  double heightScale = 1000.0;  // terrain-rgb: metres per unit of value
};

// A terrain gradient over values from -1 (deep sea) to 1 (snow), sea level
// at 0, lit from the north-west.
TileStyle DefaultStyle();

// The terrain-RGB code of a value: height = value * heightScale rounded to
// 0.1 m, offset by 10000 m, clamped to 24 bits; NaN gives 0.
std::uint32_t TerrainRgbCode(double value, double heightScale);

// The values a tile is made of: `side` x `side` values (the tile's size
// and one more on every side, so that a tile is lit with the same
// neighbours at its edge as inside it), row after row from the north-west,
// sampled over `request`.
struct TileSamples {
  std::uint32_t size = 0;  // the tile's pixels across
  std::uint32_t side = 0;  // size + 2
  maps::MapRequest request;
  std::vector<double> values;
};

// Samples tile `tile` of `grid`, `size` x `size` pixels (kMinTileSize to
// kMaxTileSize), each the graph's value at the pixel's centre, with the
// border above. Rows run on up to `threads` threads; the same values for
// any count. Never throws; false with the reason in `error` when the tile
// is outside the grid, the size is refused, or the source fails.
bool SampleTile(const maps::PointSource& source, const TileGrid& grid, const TileAddress& tile,
                std::uint32_t size, unsigned threads, TileSamples* samples, std::string* error);

// Encodes a sampled tile (of `grid` at `tile`, as SampleTile made it) as
// `format` PNG bytes into `bytes`. Never throws; false with the reason when
// the style cannot encode the format.
bool EncodeTile(const TileSamples& samples, const TileGrid& grid, const TileAddress& tile,
                TileFormat format, const TileStyle& style, std::string* bytes, std::string* error);

// SampleTile, then EncodeTile: the tile the tiles command writes. A style
// that cannot encode the format is refused before anything is sampled.
bool MakeTile(const maps::PointSource& source, const TileGrid& grid, const TileAddress& tile,
              std::uint32_t size, TileFormat format, const TileStyle& style, unsigned threads,
              std::string* bytes, std::string* error);

}  // namespace noisebind::tiles

#endif  // NOISEBIND_TILES_TILE_MAKER_H
