// Colour gradients: colours at stop values, blended linearly between them.
#ifndef NOISEBIND_RENDER_GRADIENT_H
#define NOISEBIND_RENDER_GRADIENT_H

#include <cstddef>

namespace noisebind::render {

// Components on the 0 to 255 scale; alpha 255 is opaque.
struct Colour {
  double red;
  double green;
  double blue;
  double alpha;
};

struct GradientStop {
  double value;
  Colour colour;
};

// The colour for `value` of stops sorted by increasing value (at least
// one): the first stop's below it, the last's above the last, and linear
// between neighbours. NaN gets the first stop's colour.
Colour GradientColour(const GradientStop* stops, std::size_t count, double value);

}  // namespace noisebind::render

#endif  // NOISEBIND_RENDER_GRADIENT_H
