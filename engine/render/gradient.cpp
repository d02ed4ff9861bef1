#include "engine/render/gradient.h"

#include "engine/maps/map_values.h"

namespace noisebind::render {

Colour GradientColour(const GradientStop* stops, std::size_t count, double value) {
  if (!(value > stops[0].value)) return stops[0].colour;
  if (value >= stops[count - 1].value) return stops[count - 1].colour;
  // The last stop at or below the value: stops[low].value <= value < stops[high].value.
  std::size_t low = 0;
  std::size_t high = count - 1;
  while (high - low > 1) {
    const std::size_t middle = low + (high - low) / 2;
    (stops[middle].value <= value ? low : high) = middle;
  }
  const Colour& a = stops[low].colour;
  const Colour& b = stops[high].colour;
  const double t = maps::FractionOf(value, stops[low].value, stops[high].value);
  return Colour{a.red + t * (b.red - a.red), a.green + t * (b.green - a.green),
                a.blue + t * (b.blue - a.blue), a.alpha + t * (b.alpha - a.alpha)};
}

}  // namespace noisebind::render
