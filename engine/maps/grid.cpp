#include "engine/maps/grid.h"

#include <algorithm>
#include <vector>

#include "engine/maps/map_builder.h"

namespace noisebind::maps {
namespace {

// The index of the first range, or `arguments` when there is none.
unsigned FirstRange(const GridRequest& request) {
  unsigned a = 0;
  while (a < request.arguments && !request.axes[a].range) ++a;
  return a;
}

class GridWorker final : public RowWorker {
 public:
  GridWorker(const ArgumentSource& source, const GridRequest& request, std::uint32_t width,
             double* values)
      : m_source(source),
        m_request(request),
        m_first(FirstRange(request)),
        m_width(width),
        m_values(values),
        m_workspace(source.NewWorkspace()),
        m_columns(request.arguments * std::size_t{kBlockSize}) {
    for (unsigned a = 0; a < request.arguments; ++a) m_args[a] = &m_columns[a * kBlockSize];
  }

  bool Row(std::uint32_t row, std::string* error) override {
    // Every argument but the first range is the same along the row.
    double fixed[kMaxGridArguments];
    std::uint32_t rest = row;
    for (unsigned a = 0; a < m_request.arguments; ++a) {
      const GridAxis& axis = m_request.axes[a];
      if (!axis.range || a == m_first) {
        fixed[a] = axis.from;
        continue;
      }
      fixed[a] = RangeValue(axis, rest % axis.count);
      rest /= axis.count;
    }
    double* out = m_values + std::size_t{row} * m_width;
    for (std::uint32_t first = 0; first < m_width; first += kBlockSize) {
      const std::uint32_t count = std::min(kBlockSize, m_width - first);
      for (unsigned a = 0; a < m_request.arguments; ++a) {
        double* column = &m_columns[a * kBlockSize];
        if (a == m_first) {
          for (std::uint32_t k = 0; k < count; ++k)
            column[k] = RangeValue(m_request.axes[a], first + k);
        } else {
          std::fill(column, column + count, fixed[a]);
        }
      }
      if (!m_source.Values(m_workspace.get(), m_args, count, out + first, error)) return false;
    }
    return true;
  }

 private:
  const ArgumentSource& m_source;
  const GridRequest& m_request;
  unsigned m_first;
  std::uint32_t m_width;
  double* m_values;
  std::unique_ptr<ArgumentSource::Workspace> m_workspace;
  std::vector<double> m_columns;
  const double* m_args[kMaxGridArguments] = {};
};

class GridTask final : public RowTask {
 public:
  GridTask(const ArgumentSource& source, const GridRequest& request, std::uint32_t width,
           double* values)
      : m_source(source), m_request(request), m_width(width), m_values(values) {}
  std::unique_ptr<RowWorker> NewWorker() const override {
    return std::make_unique<GridWorker>(m_source, m_request, m_width, m_values);
  }

 private:
  const ArgumentSource& m_source;
  const GridRequest& m_request;
  std::uint32_t m_width;
  double* m_values;
};

}  // namespace

bool GridSize(const GridRequest& request, std::uint64_t maxValues, std::uint32_t* width,
              std::uint32_t* height) {
  const unsigned first = FirstRange(request);
  const std::uint64_t wide = first < request.arguments ? request.axes[first].count : 1;
  std::uint64_t total = wide;
  if (wide == 0 || total > maxValues) return false;
  for (unsigned a = first + 1; a < request.arguments; ++a) {
    if (!request.axes[a].range) continue;
    const std::uint64_t count = request.axes[a].count;
    // Checked before multiplying, so that nothing wraps.
    if (count == 0 || total > maxValues / count) return false;
    total *= count;
  }
  if (total / wide > UINT32_MAX || wide > UINT32_MAX) return false;
  *width = static_cast<std::uint32_t>(wide);
  *height = static_cast<std::uint32_t>(total / wide);
  return true;
}

bool SampleGrid(const ArgumentSource& source, const GridRequest& request, const RunOptions& run,
                double* values, std::string* error) {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  if (!GridSize(request, UINT32_MAX, &width, &height)) {
    *error = "the grid is too large";
    return false;
  }
  const GridTask task(source, request, width, values);
  return RunRows(task, height, Sized(run, std::uint64_t{width} * height), error);
}

}  // namespace noisebind::maps
