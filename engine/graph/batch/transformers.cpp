// Transformers: the points moved as libnoise moves them, then the source
// over the moved block.
#include <libnoise/module/module.h>

#include "engine/graph/batch/kinds.h"
#include "noisebind/simd/evaluate.h"

namespace noisebind::objects::batch {
namespace {

// RotatePoint keeps its matrix, and Turbulence its three Perlin modules,
// protected; member pointers taken through a subclass read them from any
// instance without copying or casting the module. Reading the matrix rather
// than computing it again keeps libnoise's own sines and cosines.
struct RotationReader : noise::module::RotatePoint {
  static void Matrix(const noise::module::RotatePoint& m, double (&matrix)[3][3]) {
    using R = RotationReader;
    const double noise::module::RotatePoint::*const members[3][3] = {
        {&R::m_x1Matrix, &R::m_y1Matrix, &R::m_z1Matrix},
        {&R::m_x2Matrix, &R::m_y2Matrix, &R::m_z2Matrix},
        {&R::m_x3Matrix, &R::m_y3Matrix, &R::m_z3Matrix},
    };
    for (int row = 0; row < 3; ++row) {
      for (int col = 0; col < 3; ++col) matrix[row][col] = m.*members[row][col];
    }
  }
};

struct TurbulenceReader : noise::module::Turbulence {
  static const noise::module::Perlin& Distort(const noise::module::Turbulence& m, int axis) {
    using R = TurbulenceReader;
    const noise::module::Perlin noise::module::Turbulence::*const members[3] = {
        &R::m_xDistortModule, &R::m_yDistortModule, &R::m_zDistortModule};
    return m.*members[axis];
  }
};

// The source of `node` at the points f moves: f(i, x, y, z) writes point
// i's new coordinates.
template <class F>
void Move(const Node& node, const Points& points, double* out, Evaluator& evaluator, F f) {
  Arrays<3> moved(evaluator.scratch());
  for (std::size_t i = 0; i < points.count; ++i) f(i, moved[0][i], moved[1][i], moved[2][i]);
  evaluator.SourceMoved(node, 0, {moved[0], moved[1], moved[2], points.count}, out);
}

// Turbulence::GetValue's offsets of the point each distortion field reads.
constexpr double kTurbulenceOffsets[3][3] = {
    {12414.0 / 65536.0, 65124.0 / 65536.0, 31337.0 / 65536.0},
    {26519.0 / 65536.0, 18128.0 / 65536.0, 60493.0 / 65536.0},
    {53820.0 / 65536.0, 11213.0 / 65536.0, 44845.0 / 65536.0},
};

}  // namespace

void Displace(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  Arrays<3> moved(evaluator.scratch());
  const double* const coordinates[3] = {points.x, points.y, points.z};
  for (int axis = 0; axis < 3; ++axis) {
    double* const values = moved[static_cast<std::size_t>(axis)];
    evaluator.Source(node, axis + 1, points, values);
    for (std::size_t i = 0; i < points.count; ++i) values[i] = coordinates[axis][i] + values[i];
  }
  evaluator.SourceMoved(node, 0, {moved[0], moved[1], moved[2], points.count}, out);
}

void RotatePoint(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  const auto* rotate = Typed<noise::module::RotatePoint>(node, points, out);
  if (rotate == nullptr) return;
  double m[3][3];
  RotationReader::Matrix(*rotate, m);
  Move(node, points, out, evaluator, [&](std::size_t i, double& x, double& y, double& z) {
    const double px = points.x[i], py = points.y[i], pz = points.z[i];
    x = (m[0][0] * px) + (m[0][1] * py) + (m[0][2] * pz);
    y = (m[1][0] * px) + (m[1][1] * py) + (m[1][2] * pz);
    z = (m[2][0] * px) + (m[2][1] * py) + (m[2][2] * pz);
  });
}

void ScalePoint(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  const auto* scale = Typed<noise::module::ScalePoint>(node, points, out);
  if (scale == nullptr) return;
  const double sx = scale->GetXScale(), sy = scale->GetYScale(), sz = scale->GetZScale();
  Move(node, points, out, evaluator, [&](std::size_t i, double& x, double& y, double& z) {
    x = points.x[i] * sx;
    y = points.y[i] * sy;
    z = points.z[i] * sz;
  });
}

void TranslatePoint(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  const auto* translate = Typed<noise::module::TranslatePoint>(node, points, out);
  if (translate == nullptr) return;
  const double tx = translate->GetXTranslation(), ty = translate->GetYTranslation(),
               tz = translate->GetZTranslation();
  Move(node, points, out, evaluator, [&](std::size_t i, double& x, double& y, double& z) {
    x = points.x[i] + tx;
    y = points.y[i] + ty;
    z = points.z[i] + tz;
  });
}

void Turbulence(const Node& node, const Points& points, double* out, Evaluator& evaluator) {
  const auto* turbulence = Typed<noise::module::Turbulence>(node, points, out);
  if (turbulence == nullptr) return;
  const double power = turbulence->GetPower();
  const double* const coordinates[3] = {points.x, points.y, points.z};
  Arrays<3> distorted(evaluator.scratch());
  {
    // Given back before the source runs, so that deep graphs hold fewer.
    Arrays<3> shifted(evaluator.scratch());
    for (int axis = 0; axis < 3; ++axis) {
      for (std::size_t c = 0; c < 3; ++c) {
        const double offset = kTurbulenceOffsets[axis][c];
        for (std::size_t i = 0; i < points.count; ++i) {
          shifted[c][i] = coordinates[c][i] + offset;
        }
      }
      double* const values = distorted[static_cast<std::size_t>(axis)];
      simd::Evaluate(TurbulenceReader::Distort(*turbulence, axis),
                     {shifted[0], shifted[1], shifted[2], points.count}, values);
      for (std::size_t i = 0; i < points.count; ++i) {
        values[i] = coordinates[axis][i] + (values[i] * power);
      }
    }
  }
  evaluator.SourceMoved(node, 0, {distorted[0], distorted[1], distorted[2], points.count}, out);
}

}  // namespace noisebind::objects::batch
