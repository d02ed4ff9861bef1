// Maps drawn into script images: through a colour gradient, optionally lit
// as a height field, or as a normal map.
#ifndef NOISEBIND_RENDER_RENDER_IMAGE_H
#define NOISEBIND_RENDER_RENDER_IMAGE_H

#include <cstddef>

#include "engine/image/image_buffer.h"
#include "engine/maps/map_values.h"
#include "engine/render/gradient.h"
#include "engine/render/shading.h"

namespace noisebind::render {

struct ColourRendering {
  const GradientStop* stops;  // sorted by increasing value, at least one
  std::size_t count;
  const Light* light;  // null: unlit
  bool wrap;           // the light's neighbours wrap around the edges
};

// Each pixel gets its value's gradient colour, blended by the colour's
// alpha onto what the pixel held, then multiplied by the light's intensity
// and colour. The image must have the map's size.
void RenderColours(const maps::MapView& map, const ColourRendering& rendering,
                   noisebind::image::ImageBuffer* image);

// Each pixel gets the surface normal at its value, heights scaled by
// `bump`: x, y and z from -1 to 1 as red, green and blue from 0 to 255.
void RenderNormals(const maps::MapView& map, double bump, bool wrap,
                   noisebind::image::ImageBuffer* image);

}  // namespace noisebind::render

#endif  // NOISEBIND_RENDER_RENDER_IMAGE_H
