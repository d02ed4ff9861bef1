// Noise-quality codes as scripts give them.
#ifndef NOISEBIND_BIND_QUALITY_H
#define NOISEBIND_BIND_QUALITY_H

#include <libnoise/noisegen.h>

namespace noisebind {

// Truncated to an integer: 1 is fast, 3 is best, every other code standard.
noise::NoiseQuality DecodeQuality(double code);

}  // namespace noisebind

#endif  // NOISEBIND_BIND_QUALITY_H
