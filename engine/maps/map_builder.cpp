#include "engine/maps/map_builder.h"

#include <libnoise/interp.h>
#include <libnoise/latlon.h>
#include <libnoise/model/cylinder.h>
#include <libnoise/module/modulebase.h>

#include <algorithm>
#include <new>
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

// The points of a block.
struct Block {
  explicit Block(std::size_t size) : x(size), y(size), z(size) {}
  std::vector<double> x, y, z;
};

// The coordinates of every column and every row, worked out once.
struct Axes {
  std::vector<double> columns;
  std::vector<double> rows;
};

void Place(Positions positions, double from, double to, std::uint32_t count,
           std::vector<double>* at) {
  at->resize(count);
  if (positions == Positions::kIndex) {
    for (std::uint32_t i = 0; i < count; ++i) (*at)[i] = GridCoordinate(from, to, i, count);
    return;
  }
  const double delta = (to - from) / static_cast<double>(count);
  double current = from;
  for (std::uint32_t i = 0; i < count; ++i) {
    (*at)[i] = current;
    current += delta;
  }
}

// Rows computed together in one block: one where rows fill a block, or a
// seamless map blends each row apart.
std::uint32_t RowsPerGroup(const MapRequest& request) {
  if (request.seamless || request.width >= kBlockSize) return 1;
  return kBlockSize / request.width;
}

// The points of the largest block: no more than the map holds, so that a
// small map allocates little.
std::size_t BlockPoints(const MapRequest& request) {
  const std::uint64_t rows = std::min(RowsPerGroup(request), request.height);
  return static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, rows * request.width));
}

class MapWorker final : public RowWorker {
 public:
  MapWorker(const PointSource& source, const MapRequest& request, const Axes& axes, double* values)
      : m_source(source),
        m_request(request),
        m_axes(axes),
        m_values(values),
        m_workspace(source.NewWorkspace()),
        m_block(BlockPoints(request)),
        m_blend(request.seamless ? 3 * kBlockSize : 0) {
    m_cylinder.SetModule(m_recorder);
  }

  // Task `group` is one row, or rows enough to fill a block where rows are
  // short (a chunk's): a call of the source costs something whatever its
  // points, so short rows go in together. Rows are grouped as they are
  // stored, so a group's values are adjacent in the map.
  bool Row(std::uint32_t group, std::string* error) override {
    const MapRequest& r = m_request;
    const std::uint32_t rowsPerGroup = RowsPerGroup(r);
    const std::uint32_t firstStored = group * rowsPerGroup;
    if (rowsPerGroup > 1) {
      const std::uint32_t endStored = std::min(r.height, firstStored + rowsPerGroup);
      std::uint32_t k = 0;
      for (std::uint32_t stored = firstStored; stored < endStored; ++stored) {
        const double v = m_axes.rows[r.flip ? r.height - 1 - stored : stored];
        Points<false>(m_axes.columns.data(), r.width, 0.0, v, k);
        k += r.width;
      }
      return m_source.Values(m_workspace.get(), m_block.x.data(), m_block.y.data(),
                             m_block.z.data(), k, m_values + std::size_t{firstStored} * r.width,
                             error);
    }
    const std::uint32_t row = r.flip ? r.height - 1 - firstStored : firstStored;
    double* out = m_values + std::size_t{firstStored} * r.width;
    for (std::uint32_t first = 0; first < r.width; first += kBlockSize) {
      const std::uint32_t count = std::min(kBlockSize, r.width - first);
      bool ok = true;
      if (!r.seamless) {
        ok = PlainBlock(row, 0.0, 0.0, first, count, out + first, error);
      } else if (r.positions == Positions::kNoiseUtils) {
        ok = NoiseUtilsSeamlessBlock(row, first, count, out + first, error);
      } else {
        ok = SeamlessBlock(row, first, count, out + first, error);
      }
      if (!ok) return false;
    }
    return true;
  }

 private:
  // The values at columns first.. of the row, with the column and row
  // coordinates moved on by the given extents.
  bool PlainBlock(std::uint32_t row, double columnShift, double rowShift, std::uint32_t first,
                  std::uint32_t count, double* out, std::string* error) {
    const double v = m_axes.rows[row] + rowShift;
    Points<true>(m_axes.columns.data() + first, count, columnShift, v, 0);
    return m_source.Values(m_workspace.get(), m_block.x.data(), m_block.y.data(), m_block.z.data(),
                           count, out, error);
  }

  // The four samples of a seamless value, one extent apart along each axis:
  // here, along the columns, along the rows, along both.
  bool Corners(std::uint32_t row, std::uint32_t first, std::uint32_t count, double* here,
               double* columnShifted, double* rowShifted, double* bothShifted, std::string* error) {
    const double columnExtent = m_request.columnTo - m_request.columnFrom;
    const double rowExtent = m_request.rowTo - m_request.rowFrom;
    return PlainBlock(row, 0.0, 0.0, first, count, here, error) &&
           PlainBlock(row, columnExtent, 0.0, first, count, columnShifted, error) &&
           PlainBlock(row, 0.0, rowExtent, first, count, rowShifted, error) &&
           PlainBlock(row, columnExtent, rowExtent, first, count, bothShifted, error);
  }

  // Weighted by how far the value lies across the map: the left edge
  // continues the right, the top the bottom.
  bool SeamlessBlock(std::uint32_t row, std::uint32_t first, std::uint32_t count, double* out,
                     std::string* error) {
    double* near = m_blend.data();
    double* rowShifted = near + kBlockSize;
    double* far = rowShifted + kBlockSize;
    if (!Corners(row, first, count, near, out, rowShifted, far, error)) return false;
    const double rowWeight = static_cast<double>(row) / m_request.height;
    for (std::uint32_t k = 0; k < count; ++k) {
      const double top = Across(near[k], out[k], first + k);
      const double shifted = Across(rowShifted[k], far[k], first + k);
      out[k] = rowWeight * top + (1.0 - rowWeight) * shifted;
    }
    return true;
  }

  double Across(double here, double shifted, std::uint32_t column) const {
    const double weight = static_cast<double>(column) / m_request.width;
    return weight * here + (1.0 - weight) * shifted;
  }

  // noiseutils' blend: its weights from the stepped coordinates, through
  // libnoise's linear interpolation.
  bool NoiseUtilsSeamlessBlock(std::uint32_t row, std::uint32_t first, std::uint32_t count,
                               double* out, std::string* error) {
    double* sw = m_blend.data();
    double* nw = sw + kBlockSize;
    double* ne = nw + kBlockSize;
    if (!Corners(row, first, count, sw, out, nw, ne, error)) return false;
    const MapRequest& r = m_request;
    const double columnExtent = r.columnTo - r.columnFrom;
    const double rowExtent = r.rowTo - r.rowFrom;
    const double rowBlend = 1.0 - ((m_axes.rows[row] - r.rowFrom) / rowExtent);
    for (std::uint32_t k = 0; k < count; ++k) {
      const double columnBlend = 1.0 - ((m_axes.columns[first + k] - r.columnFrom) / columnExtent);
      const double south = noise::LinearInterp(sw[k], out[k], columnBlend);
      const double north = noise::LinearInterp(nw[k], ne[k], columnBlend);
      out[k] = noise::LinearInterp(south, north, rowBlend);
    }
    return true;
  }

  // Points k.. of the block at the columns u[0 .. count) (plus `shift`
  // where kShift: even a shift of 0 makes -0 +0, as it always did) of the
  // row v. A plane's row is a copy and two fills: point by point through
  // the projection's switch it cost a chunk's map a twentieth of its
  // instructions.
  template <bool kShift>
  void Points(const double* u, std::uint32_t count, double shift, double v, std::uint32_t k) {
    if (m_request.projection != Projection::kPlane) {
      for (std::uint32_t c = 0; c < count; ++c) Point(kShift ? u[c] + shift : u[c], v, k + c);
      return;
    }
    double* const x = m_block.x.data() + k;
    double* const y = m_block.y.data() + k;
    double* const z = m_block.z.data() + k;
    for (std::uint32_t c = 0; c < count; ++c) {
      x[c] = kShift ? u[c] + shift : u[c];
      y[c] = 0.0;
      z[c] = v;
    }
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
  const Axes& m_axes;
  double* m_values;
  std::unique_ptr<PointSource::Workspace> m_workspace;
  Block m_block;
  // Three of a seamless value's four samples; the fourth goes into the map.
  std::vector<double> m_blend;
  PointRecorder m_recorder;
  noise::model::Cylinder m_cylinder;
};

class MapTask final : public RowTask {
 public:
  MapTask(const PointSource& source, const MapRequest& request, const Axes& axes, double* values)
      : m_source(source), m_request(request), m_axes(axes), m_values(values) {}
  std::unique_ptr<RowWorker> NewWorker() const override {
    return std::make_unique<MapWorker>(m_source, m_request, m_axes, m_values);
  }

 private:
  const PointSource& m_source;
  const MapRequest& m_request;
  const Axes& m_axes;
  double* m_values;
};

}  // namespace

bool BuildMap(const PointSource& source, const MapRequest& request, const RunOptions& run,
              double* values, std::string* error) {
  Axes axes;
  try {
    Place(request.positions, request.columnFrom, request.columnTo, request.width, &axes.columns);
    Place(request.positions, request.rowFrom, request.rowTo, request.height, &axes.rows);
  } catch (const std::bad_alloc&) {
    *error = "not enough memory";
    return false;
  }
  const MapTask task(source, request, axes, values);
  const std::uint64_t points = std::uint64_t{request.width} * request.height;
  const std::uint32_t rowsPerGroup = RowsPerGroup(request);
  const std::uint32_t groups = request.height / rowsPerGroup + (request.height % rowsPerGroup != 0);
  return RunRows(task, groups, Sized(run, request.seamless ? 4 * points : points), error);
}

}  // namespace noisebind::maps
