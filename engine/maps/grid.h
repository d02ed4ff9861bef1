// A function of several numbers sampled over the grid of its arguments:
// each argument held fixed or stepped through a range. The first range runs
// along the map's rows, the next ones down its columns.
#ifndef NOISEBIND_MAPS_GRID_H
#define NOISEBIND_MAPS_GRID_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/maps/map_builder.h"
#include "engine/maps/parallel_rows.h"
#include "engine/maps/point_source.h"

namespace noisebind::maps {

constexpr unsigned kMaxGridArguments = 8;

class ArgumentSource {
 public:
  using Workspace = PointSource::Workspace;
  virtual ~ArgumentSource() = default;
  virtual std::unique_ptr<Workspace> NewWorkspace() const { return nullptr; }
  // The values for `count` argument lists: argument a of list i is
  // args[a][i]. As PointSource::Values otherwise.
  virtual bool Values(Workspace* workspace, const double* const* args, std::size_t count,
                      double* out, std::string* error) const = 0;
};

// One argument: `from` alone when fixed; otherwise `count` values from
// `from` to `to` inclusive.
struct GridAxis {
  bool range = false;
  double from = 0.0;
  double to = 0.0;
  std::uint32_t count = 1;
};

struct GridRequest {
  unsigned arguments = 0;
  GridAxis axes[kMaxGridArguments];
};

// Value k of a range: from + k * (to - from) / (count - 1), as SampleAt
// computes it (to - from finite); `from` alone when count is 1.
inline double RangeValue(const GridAxis& axis, std::uint32_t k) {
  if (!axis.range || axis.count == 1) return axis.from;
  return SampleAt(axis.from, axis.to - axis.from, k, axis.count - 1);
}

// The map's size: the first range's count wide, the product of the other
// counts high (1 where there is no such range). False when it exceeds
// `maxValues` values.
bool GridSize(const GridRequest& request, std::uint64_t maxValues, std::uint32_t* width,
              std::uint32_t* height);

// Fills `values` (as GridSize gives) with the source's values. Never
// throws; false, with the reason in `error`, when a point fails.
bool SampleGrid(const ArgumentSource& source, const GridRequest& request, const RunOptions& run,
                double* values, std::string* error);

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_GRID_H
