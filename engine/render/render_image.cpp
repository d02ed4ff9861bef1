#include "engine/render/render_image.h"

namespace noisebind::render {
namespace {

// Values turn NaN where the map holds NaN; the picture shows black there.
unsigned char Component(double value) {
  return value == value ? noisebind::image::ComponentFromNumber(value) : 0;
}

}  // namespace

void RenderColours(const maps::MapView& map, const ColourRendering& rendering,
                   noisebind::image::ImageBuffer* image) {
  const LightModel model(rendering.light != nullptr ? *rendering.light : Light{});
  for (std::uint32_t y = 0; y < map.height; ++y) {
    for (std::uint32_t x = 0; x < map.width; ++x) {
      const Colour colour = GradientColour(rendering.stops, rendering.count, map.at(x, y));
      unsigned char* pixel = noisebind::image::PixelAt(*image, x, y);
      const double alpha = colour.alpha / 255.0;
      double rgb[3] = {pixel[0] + alpha * (colour.red - pixel[0]),
                       pixel[1] + alpha * (colour.green - pixel[1]),
                       pixel[2] + alpha * (colour.blue - pixel[2])};
      if (rendering.light != nullptr) {
        const double intensity = model.Intensity(NeighboursAt(map, x, y, rendering.wrap));
        const Colour& light = rendering.light->colour;
        rgb[0] *= intensity * light.red / 255.0;
        rgb[1] *= intensity * light.green / 255.0;
        rgb[2] *= intensity * light.blue / 255.0;
      }
      for (int c = 0; c < 3; ++c) pixel[c] = Component(rgb[c]);
    }
  }
}

void RenderNormals(const maps::MapView& map, double bump, bool wrap,
                   noisebind::image::ImageBuffer* image) {
  for (std::uint32_t y = 0; y < map.height; ++y) {
    for (std::uint32_t x = 0; x < map.width; ++x) {
      double normal[3];
      SurfaceNormal(NeighboursAt(map, x, y, wrap), bump, normal);
      unsigned char* pixel = noisebind::image::PixelAt(*image, x, y);
      for (int c = 0; c < 3; ++c) pixel[c] = Component((normal[c] + 1.0) * 127.5);
    }
  }
}

}  // namespace noisebind::render
