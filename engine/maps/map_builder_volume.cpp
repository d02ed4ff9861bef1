#include "engine/maps/map_builder_volume.h"

#include <algorithm>
#include <new>
#include <vector>

#include "engine/maps/map_builder.h"
#include "engine/maps/map_values.h"

namespace noisebind::maps {
namespace {

// The coordinates along each axis, worked out once.
struct Lattice {
  std::vector<double> at[3];
};

// Rows of x computed together in one block: as many as fill one.
std::uint32_t RowsPerGroup(const VolumeRequest& request) {
  return request.size[0] >= kBlockSize ? 1 : kBlockSize / request.size[0];
}

// The points of the largest block: no more than the volume holds.
std::size_t BlockPoints(const VolumeRequest& request) {
  const std::uint64_t rows = std::min<std::uint64_t>(
      RowsPerGroup(request), std::uint64_t{request.size[1]} * request.size[2]);
  return static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, rows * request.size[0]));
}

class VolumeWorker final : public RowWorker {
 public:
  VolumeWorker(const PointSource& source, const VolumeRequest& request, const Lattice& lattice,
               double* values)
      : m_source(source),
        m_request(request),
        m_lattice(lattice),
        m_values(values),
        m_workspace(source.NewWorkspace()),
        m_x(BlockPoints(request)),
        m_y(m_x.size()),
        m_z(m_x.size()) {}

  // Task `group` is row `group` of x (at y index r % height in layer
  // r / height), or where rows are shorter than a block, as many rows as
  // fill one, adjacent in the volume: one call of the source for them all.
  bool Row(std::uint32_t group, std::string* error) override {
    const std::uint32_t width = m_request.size[0];
    const std::uint32_t height = m_request.size[1];
    const std::uint32_t rowsPerGroup = RowsPerGroup(m_request);
    const std::uint32_t rows = height * m_request.size[2];
    const std::uint32_t firstRow = group * rowsPerGroup;
    const std::uint32_t endRow = std::min(rows, firstRow + rowsPerGroup);
    double* out = m_values + MapIndex(width, height, 0, firstRow % height, firstRow / height);
    if (rowsPerGroup > 1) {
      std::size_t n = 0;
      for (std::uint32_t row = firstRow; row < endRow; ++row) {
        const double y = m_lattice.at[1][row % height];
        const double z = m_lattice.at[2][row / height];
        for (std::uint32_t i = 0; i < width; ++i, ++n) {
          m_x[n] = m_lattice.at[0][i];
          m_y[n] = y;
          m_z[n] = z;
        }
      }
      return m_source.Values(m_workspace.get(), m_x.data(), m_y.data(), m_z.data(), n, out, error);
    }
    std::fill(m_y.begin(), m_y.end(), m_lattice.at[1][firstRow % height]);
    std::fill(m_z.begin(), m_z.end(), m_lattice.at[2][firstRow / height]);
    for (std::uint32_t first = 0; first < width; first += kBlockSize) {
      const std::uint32_t count = std::min(kBlockSize, width - first);
      std::copy_n(m_lattice.at[0].begin() + first, count, m_x.begin());
      if (!m_source.Values(m_workspace.get(), m_x.data(), m_y.data(), m_z.data(), count,
                           out + first, error)) {
        return false;
      }
    }
    return true;
  }

 private:
  const PointSource& m_source;
  const VolumeRequest& m_request;
  const Lattice& m_lattice;
  double* m_values;
  std::unique_ptr<PointSource::Workspace> m_workspace;
  std::vector<double> m_x, m_y, m_z;
};

class VolumeTask final : public RowTask {
 public:
  VolumeTask(const PointSource& source, const VolumeRequest& request, const Lattice& lattice,
             double* values)
      : m_source(source), m_request(request), m_lattice(lattice), m_values(values) {}
  std::unique_ptr<RowWorker> NewWorker() const override {
    return std::make_unique<VolumeWorker>(m_source, m_request, m_lattice, m_values);
  }

 private:
  const PointSource& m_source;
  const VolumeRequest& m_request;
  const Lattice& m_lattice;
  double* m_values;
};

}  // namespace

bool BuildVolume(const PointSource& source, const VolumeRequest& request, const RunOptions& run,
                 double* values, std::string* error) {
  Lattice lattice;
  try {
    for (int a = 0; a < 3; ++a) {
      lattice.at[a].resize(request.size[a]);
      for (std::uint32_t i = 0; i < request.size[a]; ++i) {
        lattice.at[a][i] = GridCoordinate(request.from[a], request.to[a], i, request.size[a]);
      }
    }
  } catch (const std::bad_alloc&) {
    *error = "not enough memory";
    return false;
  }
  // Rows of x, y the faster: height * depth of them, fewer than 2^32 as
  // the map limits keep volumes below 2^28 values.
  const VolumeTask task(source, request, lattice, values);
  const std::uint32_t rows = request.size[1] * request.size[2];
  const std::uint32_t rowsPerGroup = RowsPerGroup(request);
  const std::uint64_t points = std::uint64_t{rows} * request.size[0];
  return RunRows(task, rows / rowsPerGroup + (rows % rowsPerGroup != 0), Sized(run, points), error);
}

}  // namespace noisebind::maps
