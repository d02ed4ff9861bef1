#include "engine/tiles/tile_maker.h"

#include <cmath>
#include <cstdlib>
#include <exception>
#include <new>

#include "engine/image/image_buffer.h"
#include "engine/image/image_save.h"
#include "engine/maps/map_builder.h"
#include "engine/maps/map_values.h"
#include "engine/render/heightmap_files.h"
#include "engine/render/render_image.h"

namespace noisebind::tiles {
namespace {

struct FormatRow {
  TileFormat format;
  const char* name;
};
constexpr FormatRow kFormats[] = {
    {TileFormat::kPng, "png"},
    {TileFormat::kHeightmap16, "heightmap16"},
    {TileFormat::kTerrainRgb, "terrain-rgb"},
};

// The largest terrain-RGB code: 24 bits.
constexpr std::uint32_t kTopCode = 0xFFFFFF;

// Encoders hand back std::malloc'ed bytes; copied into `out` and freed.
bool TakeBytes(bool encoded, char* data, std::size_t size, const char* reason, std::string* out,
               std::string* error) {
  if (!encoded) {
    *error = reason;
    return false;
  }
  out->assign(data, size);
  std::free(data);
  return true;
}

bool EncodeRgb(const noisebind::image::ImageBuffer& image, std::string* bytes, std::string* error) {
  char* data = nullptr;
  std::size_t size = 0;
  char reason[256];
  const bool encoded = noisebind::image::EncodeImage(image, &data, &size, reason, sizeof reason);
  return TakeBytes(encoded, data, size, reason, bytes, error);
}

// The inner size x size values of a map with a border of one value.
std::vector<double> Inner(const std::vector<double>& bordered, std::uint32_t size) {
  std::vector<double> inner(std::size_t{size} * size);
  for (std::uint32_t y = 0; y < size; ++y)
    for (std::uint32_t x = 0; x < size; ++x)
      inner[std::size_t{y} * size + x] = bordered[std::size_t{y + 1} * (size + 2) + x + 1];
  return inner;
}

bool EncodeColours(const std::vector<double>& bordered, std::uint32_t size, double levelPixels,
                   const TileStyle& style, std::string* bytes, std::string* error) {
  const std::uint32_t side = size + 2;
  std::vector<unsigned char> pixels(noisebind::image::ImagePixelBytes(side, side), 0);
  noisebind::image::ImageBuffer image{side, side, pixels.data()};
  render::Light light = style.light;
  light.scale *= levelPixels / 64.0;
  const render::ColourRendering rendering{style.gradient.data(), style.gradient.size(),
                                          style.lit ? &light : nullptr, false};
  render::RenderColours(maps::MapView{side, side, bordered.data()}, rendering, &image);
  std::vector<unsigned char> inner(noisebind::image::ImagePixelBytes(size, size));
  const std::size_t row = std::size_t{size} * noisebind::image::kBytesPerPixel;
  for (std::uint32_t y = 0; y < size; ++y)
    std::copy_n(noisebind::image::PixelAt(image, 1, y + 1), row, inner.data() + y * row);
  return EncodeRgb(noisebind::image::ImageBuffer{size, size, inner.data()}, bytes, error);
}

bool EncodeHeightmap(const std::vector<double>& bordered, std::uint32_t size,
                     const TileStyle& style, std::string* bytes, std::string* error) {
  const std::vector<double> inner = Inner(bordered, size);
  char* data = nullptr;
  std::size_t length = 0;
  char reason[256];
  const bool encoded = render::EncodeGreyPng16(maps::MapView{size, size, inner.data()}, style.low,
                                               style.high, &data, &length, reason, sizeof reason);
  return TakeBytes(encoded, data, length, reason, bytes, error);
}

bool EncodeTerrainRgb(const std::vector<double>& bordered, std::uint32_t size,
                      const TileStyle& style, std::string* bytes, std::string* error) {
  const std::vector<double> inner = Inner(bordered, size);
  std::vector<unsigned char> pixels(noisebind::image::ImagePixelBytes(size, size));
  for (std::size_t i = 0; i < inner.size(); ++i) {
    const std::uint32_t code = TerrainRgbCode(inner[i], style.heightScale);
    pixels[i * 3] = static_cast<unsigned char>(code >> 16);
    pixels[i * 3 + 1] = static_cast<unsigned char>(code >> 8);
    pixels[i * 3 + 2] = static_cast<unsigned char>(code);
  }
  return EncodeRgb(noisebind::image::ImageBuffer{size, size, pixels.data()}, bytes, error);
}

// Why the style cannot encode `format`, or null.
const char* StyleFault(TileFormat format, const TileStyle& style) {
  switch (format) {
    case TileFormat::kPng:
      if (style.gradient.empty()) return "the gradient has no stops";
      for (std::size_t i = 1; i < style.gradient.size(); ++i)
        if (!(style.gradient[i - 1].value < style.gradient[i].value))
          return "gradient stops must increase in value";
      return nullptr;
    case TileFormat::kHeightmap16:
      return std::isfinite(style.low) && std::isfinite(style.high) && style.low < style.high
                 ? nullptr
                 : "the heightmap range must be finite numbers low < high";
    case TileFormat::kTerrainRgb:
      return std::isfinite(style.heightScale) && style.heightScale > 0.0
                 ? nullptr
                 : "the height scale must be a finite number above 0";
  }
  return "unknown format";
}

// Why a tile cannot be made at this address and size, or true.
bool CheckTile(const TileGrid& grid, const TileAddress& tile, std::uint32_t size,
               std::string* error) {
  if (!TileInGrid(grid, tile)) {
    *error = "no tile " + std::to_string(tile.level) + "/" + std::to_string(tile.x) + "/" +
             std::to_string(tile.y) + " in the grid";
    return false;
  }
  if (size < kMinTileSize || size > kMaxTileSize) {
    *error = "the tile size must be from " + std::to_string(kMinTileSize) + " to " +
             std::to_string(kMaxTileSize) + ", got " + std::to_string(size);
    return false;
  }
  return true;
}

}  // namespace

const char* FormatName(TileFormat format) {
  for (const FormatRow& row : kFormats)
    if (row.format == format) return row.name;
  return "?";
}

bool ParseFormat(const std::string& name, TileFormat* format) {
  for (const FormatRow& row : kFormats) {
    if (name == row.name) {
      *format = row.format;
      return true;
    }
  }
  return false;
}

TileStyle DefaultStyle() {
  TileStyle style;
  style.gradient = {
      {-1.0, {10, 20, 110, 255}},   {-0.3, {20, 60, 190, 255}},   {0.0, {50, 130, 230, 255}},
      {0.04, {225, 215, 120, 255}}, {0.12, {60, 150, 40, 255}},   {0.4, {150, 170, 60, 255}},
      {0.7, {120, 110, 100, 255}},  {0.95, {245, 245, 250, 255}},
  };
  style.light.azimuth = 135.0;
  return style;
}

std::uint32_t TerrainRgbCode(double value, double heightScale) {
  const double tenths = (value * heightScale + 10000.0) * 10.0;
  if (!(tenths > 0.0)) return 0;  // NaN too
  if (tenths >= kTopCode) return kTopCode;
  const auto whole = static_cast<std::uint32_t>(tenths);
  return tenths - whole >= 0.5 ? whole + 1 : whole;
}

bool SampleTile(const maps::PointSource& source, const TileGrid& grid, const TileAddress& tile,
                std::uint32_t size, unsigned threads, TileSamples* samples, std::string* error) {
  if (!CheckTile(grid, tile, size, error)) return false;
  try {
    // BuildMap evaluates without asking: a graph with a source missing
    // would be followed into a null module.
    if (!source.Evaluable(error)) return false;
    // Pixel centres, and one pixel more on every side.
    const TileArea area = AreaOf(grid, tile);
    const double columnStep = (area.columnTo - area.columnFrom) / size;
    const double rowStep = (area.rowTo - area.rowFrom) / size;
    maps::MapRequest& request = samples->request;
    request = maps::MapRequest{};
    request.projection =
        grid.surface == Surface::kSphere ? maps::Projection::kSphere : maps::Projection::kPlane;
    request.width = request.height = size + 2;
    request.columnFrom = area.columnFrom - 0.5 * columnStep;
    request.columnTo = area.columnTo + 1.5 * columnStep;
    request.rowFrom = area.rowFrom - 0.5 * rowStep;
    request.rowTo = area.rowTo + 1.5 * rowStep;
    samples->size = size;
    samples->side = size + 2;
    samples->values.assign(std::size_t{size + 2} * (size + 2), 0.0);
    const maps::RunOptions run{threads == 0 ? 1 : threads, nullptr};
    return maps::BuildMap(source, request, run, samples->values.data(), error);
  } catch (const std::bad_alloc&) {
    *error = "not enough memory";
    return false;
  } catch (const std::exception& e) {
    *error = e.what();
    return false;
  }
}

bool EncodeTile(const TileSamples& samples, const TileGrid& grid, const TileAddress& tile,
                TileFormat format, const TileStyle& style, std::string* bytes, std::string* error) {
  if (const char* fault = StyleFault(format, style)) {
    *error = fault;
    return false;
  }
  if (samples.side != samples.size + 2 ||
      samples.values.size() != std::size_t{samples.side} * samples.side) {
    *error = "the samples are not a tile's";
    return false;
  }
  try {
    const std::uint32_t size = samples.size;
    switch (format) {
      case TileFormat::kPng: {
        const double levelPixels = static_cast<double>(TilesAcross(grid, tile.level)) * size;
        return EncodeColours(samples.values, size, levelPixels, style, bytes, error);
      }
      case TileFormat::kHeightmap16:
        return EncodeHeightmap(samples.values, size, style, bytes, error);
      case TileFormat::kTerrainRgb:
        return EncodeTerrainRgb(samples.values, size, style, bytes, error);
    }
    *error = "unknown format";
    return false;
  } catch (const std::bad_alloc&) {
    *error = "not enough memory";
    return false;
  } catch (const std::exception& e) {
    *error = e.what();
    return false;
  }
}

bool MakeTile(const maps::PointSource& source, const TileGrid& grid, const TileAddress& tile,
              std::uint32_t size, TileFormat format, const TileStyle& style, unsigned threads,
              std::string* bytes, std::string* error) {
  if (!CheckTile(grid, tile, size, error)) return false;
  if (const char* fault = StyleFault(format, style)) {
    *error = fault;
    return false;
  }
  TileSamples samples;
  return SampleTile(source, grid, tile, size, threads, &samples, error) &&
         EncodeTile(samples, grid, tile, format, style, bytes, error);
}

}  // namespace noisebind::tiles
