#include "bind/quality.h"

#include "entry/conversions.h"

namespace noisebind {

noise::NoiseQuality DecodeQuality(double code) {
  switch (ToInt32(code)) {
    case 1:
      return noise::QUALITY_FAST;
    case 3:
      return noise::QUALITY_BEST;
    default:
      return noise::QUALITY_STD;
  }
}

}  // namespace noisebind
