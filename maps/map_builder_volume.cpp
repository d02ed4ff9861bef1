#include "maps/map_builder_volume.h"

#include <algorithm>
#include <new>
#include <vector>

#include "maps/map_builder.h"
#include "maps/map_values.h"

namespace noisebind::maps {
namespace {

// The coordinates along each axis, worked out once.
struct Lattice {
  std::vector<double> at[3];
};

class VolumeWorker final : public RowWorker {
 public:
  VolumeWorker(const PointSource& source, const VolumeRequest& request, const Lattice& lattice,
               double* values)
      : m_source(source),
        m_request(request),
        m_lattice(lattice),
        m_values(values),
        m_workspace(source.NewWorkspace()),
        m_x(kBlockSize),
        m_y(kBlockSize),
        m_z(kBlockSize) {}

  // Row r is the row of x at y index r % height in layer r / height.
  bool Row(std::uint32_t row, std::string* error) override {
    const std::uint32_t width = m_request.size[0];
    const std::uint32_t height = m_request.size[1];
    const std::uint32_t j = row % height;
    const std::uint32_t k = row / height;
    double* out = m_values + MapIndex(width, height, 0, j, k);
    std::fill(m_y.begin(), m_y.end(), m_lattice.at[1][j]);
    std::fill(m_z.begin(), m_z.end(), m_lattice.at[2][k]);
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
  return RunRows(task, request.size[1] * request.size[2], run, error);
}

}  // namespace noisebind::maps
