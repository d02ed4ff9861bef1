#include "maps/map_builder.h"

#include <libnoise/latlon.h>
#include <libnoise/model/cylinder.h>
#include <libnoise/module/modulebase.h>

#include <algorithm>
#include <vector>

namespace noisebind::maps {
namespace {

// A module that only notes the point it is asked for: through it, the
// library's own models say which point an input maps to, bit for bit.
class PointRecorder final : public noise::module::Module {
 public:
  PointRecorder() : Module(0) {}
  int GetSourceModuleCount() const override { return 0; }
  double GetValue(double x, double y, double z) const override {
    m_x = x;
    m_y = y;
    m_z = z;
    return 0.0;
  }
  mutable double m_x = 0.0;
  mutable double m_y = 0.0;
  mutable double m_z = 0.0;
};

// Points of a block, and the values there.
struct Block {
  explicit Block(std::size_t size) : x(size), y(size), z(size), out(size) {}
  std::vector<double> x, y, z, out;
};

class MapWorker final : public RowWorker {
 public:
  MapWorker(const PointSource& source, const MapRequest& request, double* values)
      : m_source(source),
        m_request(request),
        m_values(values),
        m_workspace(source.NewWorkspace()),
        m_block(kBlockSize),
        m_blend(request.seamless ? kBlockSize : 0) {
    m_cylinder.SetModule(m_recorder);
  }

  bool Row(std::uint32_t row, std::string* error) override {
    const MapRequest& r = m_request;
    const std::uint32_t stored = r.flip ? r.height - 1 - row : row;
    double* out = m_values + std::size_t{stored} * r.width;
    const double v = GridCoordinate(r.rowFrom, r.rowTo, row, r.height);
    for (std::uint32_t first = 0; first < r.width; first += kBlockSize) {
      const std::uint32_t count = std::min(kBlockSize, r.width - first);
      const bool ok = r.seamless ? SeamlessBlock(row, v, first, count, out + first, error)
                                 : PlainBlock(v, 0.0, 0.0, first, count, out + first, error);
      if (!ok) return false;
    }
    return true;
  }

 private:
  // The values at columns first.. of the row at coordinate v, with the
  // column and row coordinates moved on by the given extents.
  bool PlainBlock(double v, double columnShift, double rowShift, std::uint32_t first,
                  std::uint32_t count, double* out, std::string* error) {
    for (std::uint32_t k = 0; k < count; ++k) {
      const double u =
          GridCoordinate(m_request.columnFrom, m_request.columnTo, first + k, m_request.width);
      Point(u + columnShift, v + rowShift, k);
    }
    return m_source.Values(m_workspace.get(), m_block.x.data(), m_block.y.data(), m_block.z.data(),
                           count, out, error);
  }

  // Four samples a value, one extent apart along each axis, weighted by
  // how far the value lies across the map: the left edge continues the
  // right, the top the bottom.
  bool SeamlessBlock(std::uint32_t row, double v, std::uint32_t first, std::uint32_t count,
                     double* out, std::string* error) {
    const double columnExtent = m_request.columnTo - m_request.columnFrom;
    const double rowExtent = m_request.rowTo - m_request.rowFrom;
    const double rowWeight = static_cast<double>(row) / m_request.height;
    double* near = m_blend.data();
    if (!PlainBlock(v, 0.0, 0.0, first, count, near, error)) return false;
    if (!PlainBlock(v, columnExtent, 0.0, first, count, out, error)) return false;
    for (std::uint32_t k = 0; k < count; ++k) near[k] = Across(near[k], out[k], first + k);
    double* far = m_block.out.data();
    for (std::uint32_t k = 0; k < count; ++k) out[k] = near[k];
    if (!PlainBlock(v, 0.0, rowExtent, first, count, near, error)) return false;
    if (!PlainBlock(v, columnExtent, rowExtent, first, count, far, error)) return false;
    for (std::uint32_t k = 0; k < count; ++k) {
      const double shifted = Across(near[k], far[k], first + k);
      out[k] = rowWeight * out[k] + (1.0 - rowWeight) * shifted;
    }
    return true;
  }

  double Across(double here, double shifted, std::uint32_t column) const {
    const double weight = static_cast<double>(column) / m_request.width;
    return weight * here + (1.0 - weight) * shifted;
  }

  void Point(double u, double v, std::uint32_t k) {
    switch (m_request.projection) {
      case Projection::kPlane:
        m_block.x[k] = u;
        m_block.y[k] = 0.0;
        m_block.z[k] = v;
        return;
      case Projection::kSphere:
        noise::LatLonToXYZ(v, u, m_block.x[k], m_block.y[k], m_block.z[k]);
        return;
      case Projection::kCylinder:
        m_cylinder.GetValue(u, v);
        m_block.x[k] = m_recorder.m_x;
        m_block.y[k] = m_recorder.m_y;
        m_block.z[k] = m_recorder.m_z;
        return;
    }
  }

  const PointSource& m_source;
  const MapRequest& m_request;
  double* m_values;
  std::unique_ptr<PointSource::Workspace> m_workspace;
  Block m_block;
  std::vector<double> m_blend;
  PointRecorder m_recorder;
  noise::model::Cylinder m_cylinder;
};

class MapTask final : public RowTask {
 public:
  MapTask(const PointSource& source, const MapRequest& request, double* values)
      : m_source(source), m_request(request), m_values(values) {}
  std::unique_ptr<RowWorker> NewWorker() const override {
    return std::make_unique<MapWorker>(m_source, m_request, m_values);
  }

 private:
  const PointSource& m_source;
  const MapRequest& m_request;
  double* m_values;
};

}  // namespace

bool BuildMap(const PointSource& source, const MapRequest& request, const RunOptions& run,
              double* values, std::string* error) {
  const MapTask task(source, request, values);
  return RunRows(task, request.height, run, error);
}

}  // namespace noisebind::maps
