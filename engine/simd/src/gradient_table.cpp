#include "gradient_table.h"

// The header defines a mutable global named noise::g_randomVectors, which
// libnoise exports too; inside a namespace of ours it is a private copy,
// initialised statically and never written.
namespace noisebind::simd::detail::table {
#include <libnoise/vectortable.h>
}  // namespace noisebind::simd::detail::table

namespace noisebind::simd::detail {

const double* const kGradients = table::noise::g_randomVectors;

}  // namespace noisebind::simd::detail
