// Gradient noise along rows: runs of points that share y and z (bit for bit),
// as plane maps, volume rows and grids give them. Along such a run y and z,
// their cells, offsets and curves are the same for every point, and so are
// the corner gradients of every lattice cell the run crosses: they are
// fetched once per lattice line and octave, and each point then does only
// what depends on its x. Each value is still GradientCoherentNoise3D's: the
// same operations on the same operands, only computed once for many points.
#ifndef NOISEBIND_SIMD_ROW_LATTICE_H
#define NOISEBIND_SIMD_ROW_LATTICE_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "lattice.h"
#include "ring_lattice.h"

namespace noisebind::simd::detail {

template <class B>
struct RowLattice {
  using L = Lattice<B>;
  using D = typename B::D;
  using I = typename B::I;

  static constexpr std::size_t kWidth = B::kWidth;
  // Points per pass: every array below stays in the first-level cache.
  static constexpr std::size_t kChunk = 256;
  // Shorter runs cost less as scattered points than they would save.
  static constexpr std::size_t kMinRun = 4;
  // Cells a pass shares at most. Below one point per cell neighbouring
  // points lie too far apart for a window (see the backends), so a pass
  // shares its cells only when it has at least as many points.
  static constexpr std::size_t kMaxCells = kChunk;
  // Lines built past the last cell: a window reads kWidth of them from any
  // cell, and the line above it too.
  static constexpr std::size_t kLines = kMaxCells + 2 * kWidth;

  // Points x[0 .. count) on the row (y, z); count is at most kChunk.
  struct Run {
    const double* x;
    double y, z;
    std::size_t count;
  };

  // What one octave of a row shares: its folded y and z, their offsets from
  // the cell's two faces and curves, and the hash sum without x.
  struct Row {
    D ny, nz;
    I seedTerm;
    I hash;
    D yd[2], zd[2];
    D ys, zs, ys1, zs1;  // ys1 = 1 - ys, zs1 = 1 - zs
  };

  // The corners on lattice lines along x, line k at x = first + k: for each
  // (dy, dz), index c = dy + 2 * dz, the gradient's x component (column
  // kG + c) and its y and z components times the row's offsets (kP + c, kQ +
  // c). A corner's GradientNoise3D is then ((g * xd) + p) + q, times 2.12.
  // One array, so that every entry of a cell lies at a fixed distance from
  // its first.
  enum Column : std::size_t { kG = 0, kP = 4, kQ = 8, kColumns = 12 };
  struct Lines {
    alignas(64) double entries[kColumns * kLines];
    double* Column(std::size_t column) { return entries + column * kLines; }
  };

  template <int Q>
  static Row RowAt(D y, D z, I seedTerm) {
    const I one = L::CI(1);
    Row row;
    row.ny = L::MakeInt32Range(y);
    row.nz = L::MakeInt32Range(z);
    row.seedTerm = seedTerm;
    const I y0 = L::Cell(row.ny), z0 = L::Cell(row.nz);
    row.yd[0] = B::Sub(row.ny, B::ToDouble(y0));
    row.yd[1] = B::Sub(row.ny, B::ToDouble(B::AddI(y0, one)));
    row.zd[0] = B::Sub(row.nz, B::ToDouble(z0));
    row.zd[1] = B::Sub(row.nz, B::ToDouble(B::AddI(z0, one)));
    row.ys = L::template Curve<Q>(row.yd[0]);
    row.zs = L::template Curve<Q>(row.zd[0]);
    row.ys1 = B::Sub(L::C(1.0), row.ys);
    row.zs1 = B::Sub(L::C(1.0), row.zs);
    // The hash is a sum modulo 2^32: x's term can be added last.
    row.hash = B::AddI(B::AddI(B::MulI(y0, L::CI(L::kY)), B::MulI(z0, L::CI(L::kZ))), seedTerm);
    return row;
  }

  // Lines first .. first + count, rounded up to whole vectors.
  static void BuildLines(Lines& lines, std::uint32_t first, std::size_t count, const Row& row) {
    for (std::size_t k = 0; k < count; k += kWidth) {
      const I x = B::AddI(L::CI(first + static_cast<std::uint32_t>(k)), B::Lanes());
      const I hash = B::AddI(B::MulI(x, L::CI(L::kX)), row.hash);
      BuildCorner<0>(lines, k, hash, row);
      BuildCorner<1>(lines, k, hash, row);
      BuildCorner<2>(lines, k, hash, row);
      BuildCorner<3>(lines, k, hash, row);
    }
  }

  // Corner c of lines k .. k + kWidth, whose hash sums without y's and z's
  // steps are `hash`. One function per corner: as a loop over c, the
  // corner's steps and offsets were worked out again on every line.
  template <int c>
  [[gnu::always_inline]] static void BuildCorner(Lines& lines, std::size_t k, I hash,
                                                 const Row& row) {
    constexpr int dy = c & 1, dz = c >> 1;
    constexpr std::uint32_t step = (dy ? L::kY : 0u) + (dz ? L::kZ : 0u);
    D gx, gy, gz;
    L::GradientOf(B::AddI(hash, L::CI(step)), gx, gy, gz);
    B::Store(lines.Column(kG + c) + k, gx);
    B::Store(lines.Column(kP + c) + k, B::Mul(gy, row.yd[dy]));
    B::Store(lines.Column(kQ + c) + k, B::Mul(gz, row.zd[dz]));
  }

  // The eight corners' noise at x offsets xd0 and xd1 from the cell's faces,
  // interpolated; fetch(offset) gives each lane the entry `offset` entries
  // past its cell's first (a column's start plus 1 for the line above).
  template <class Fetch>
  static D Corners(const Row& row, D xd0, D xd1, D xs, Fetch fetch) {
    const D scale = L::C(2.12);
    const auto corner = [&](std::size_t c, std::size_t dx, D xd) {
      const D g = fetch((kG + c) * kLines + dx), p = fetch((kP + c) * kLines + dx);
      const D q = fetch((kQ + c) * kLines + dx);
      return B::Mul(B::Add(B::Add(B::Mul(g, xd), p), q), scale);
    };
    const D xs1 = B::Sub(L::C(1.0), xs);
    const auto alongX = [&](std::size_t c) {
      return L::Lerp(corner(c, 0, xd0), corner(c, 1, xd1), xs, xs1);
    };
    const D iy0 = L::Lerp(alongX(0), alongX(1), row.ys, row.ys1);
    const D iy1 = L::Lerp(alongX(2), alongX(3), row.ys, row.ys1);
    return L::Lerp(iy0, iy1, row.zs, row.zs1);
  }

  // GradientCoherentNoise3D at the folded x of each lane, whose cells lie in
  // the lines (`toLine` adds minus the first line's x).
  template <int Q>
  [[gnu::always_inline]] static D Shared(const Lines& lines, const Row& row, D nx, I toLine) {
    const I x0 = L::Cell(nx);
    typename B::Window window;
    if (!B::MakeWindow(B::AddI(x0, toLine), window)) {
      return L::template GradientCoherent<Q>(nx, row.ny, row.nz, row.seedTerm);
    }
    const D xd0 = B::Sub(nx, B::ToDouble(x0));
    const D xd1 = B::Sub(nx, B::ToDouble(B::AddI(x0, L::CI(1))));
    const D xs = L::template Curve<Q>(xd0);
    const double* const cell = lines.entries + window.base;
    if (window.single) {
      return Corners(row, xd0, xd1, xs, [cell](std::size_t at) { return B::Set(cell[at]); });
    }
    return Corners(row, xd0, xd1, xs,
                   [cell, &window](std::size_t at) { return B::Gather(window, cell + at); });
  }

  // Multiplies xs by `scale`, folds them into nxs and returns the lowest
  // and highest cell among them.
  static void Fold(double* xs, double* nxs, std::size_t padded, D scale, double& low,
                   double& high) {
    D lo = L::C(2147483647.0), hi = L::C(-2147483648.0);
    for (std::size_t i = 0; i < padded; i += kWidth) {
      const D x = B::Mul(B::Load(xs + i), scale);
      B::Store(xs + i, x);
      const D nx = L::MakeInt32Range(x);
      B::Store(nxs + i, nx);
      const D cell = B::ToDouble(L::Cell(nx));
      lo = B::Min(lo, cell);
      hi = B::Max(hi, cell);
    }
    alignas(64) double los[kWidth], his[kWidth];
    B::Store(los, lo);
    B::Store(his, hi);
    low = los[0];
    high = his[0];
    for (std::size_t k = 1; k < kWidth; ++k) {
      low = los[k] < low ? los[k] : low;
      high = his[k] > high ? his[k] : high;
    }
  }

  // Perlin-style octaves over one run: the run's x scaled by `frequency`,
  // then by `lacunarity` after each octave, as libnoise does (y and z with
  // them). For every octave, add(i, signal) receives the gradient noise of
  // points i .. i + kWidth (i < count; lanes past count repeat the last
  // point), then next() is called.
  template <int Q, class SeedOf, class Add, class Next>
  static void Octaves(const Run& run, double frequency, double lacunarity, int octaves,
                      SeedOf seedOf, Add add, Next next) {
    const std::size_t padded = (run.count + kWidth - 1) / kWidth * kWidth;
    alignas(64) double xs[kChunk], nxs[kChunk];
    std::memcpy(xs, run.x, run.count * sizeof(double));
    for (std::size_t i = run.count; i < padded; ++i) xs[i] = run.x[run.count - 1];
    const D scale = L::C(lacunarity);
    D y = B::Mul(L::C(run.y), L::C(frequency)), z = B::Mul(L::C(run.z), L::C(frequency));
    Lines lines;  // each octave builds the lines it reads
    for (int octave = 0; octave < octaves; ++octave) {
      if (octave > 0) {
        y = B::Mul(y, scale);
        z = B::Mul(z, scale);
      }
      const Row row = RowAt<Q>(y, z, L::CI(seedOf(octave) * L::kSeed));
      double low, high;
      Fold(xs, nxs, padded, octave == 0 ? L::C(frequency) : scale, low, high);
      const double cells = high - low + 1.0;  // whole numbers of int32 range: exact
      if (cells <= static_cast<double>(kMaxCells) && cells <= static_cast<double>(run.count)) {
        // low is the value of an int32, so the conversion is exact.
        const std::uint32_t first = static_cast<std::uint32_t>(static_cast<std::int32_t>(low));
        BuildLines(lines, first, static_cast<std::size_t>(cells) + kWidth, row);
        const I toLine = L::CI(0u - first);
        for (std::size_t i = 0; i < padded; i += kWidth) {
          add(i, Shared<Q>(lines, row, B::Load(nxs + i), toLine));
        }
      } else {
        for (std::size_t i = 0; i < padded; i += kWidth) {
          add(i, L::template GradientCoherent<Q>(B::Load(nxs + i), row.ny, row.nz, row.seedTerm));
        }
      }
      next();
    }
  }

  static bool SameBits(double a, double b) {
    std::uint64_t ua, ub;
    std::memcpy(&ua, &a, sizeof ua);
    std::memcpy(&ub, &b, sizeof ub);
    return ua == ub;
  }

  // Splits a block into runs on one row (y and z shared), given to
  // row(run, out) a chunk at a time; among the points between them, runs
  // that share y, given to ring(ring, out) a chunk at a time; and the rest,
  // given to scattered(points, out) in as few calls as the runs allow. One
  // pass over y: most scattered points end a run of one at once.
  template <class Scattered, class RowFunction, class RingFunction>
  static void ByRows(const Points& points, double* out, Scattered scattered, RowFunction row,
                     RingFunction ring) {
    std::size_t pending = 0;  // the first point not yet evaluated
    const auto flush = [&](std::size_t end) {
      if (pending == end) return;
      scattered(Points{points.x + pending, points.y + pending, points.z + pending, end - pending},
                out + pending);
    };
    // Points [begin, end) share y: a ring where there are enough of them.
    const auto rings = [&](std::size_t begin, std::size_t end, double y) {
      if (end - begin < kMinRun) return;
      flush(begin);
      for (std::size_t at = begin; at < end; at += kChunk) {
        const std::size_t count = end - at < kChunk ? end - at : kChunk;
        ring(typename RingLattice<B>::Ring{points.x + at, y, points.z + at, count}, out + at);
      }
      pending = end;
    };
    for (std::size_t i = 0; i < points.count;) {
      const double y = points.y[i];
      std::size_t stop = i + 1;
      while (stop < points.count && SameBits(points.y[stop], y)) ++stop;
      if (stop - i < kMinRun) {  // too few to share anything: left pending
        i = stop;
        continue;
      }
      std::size_t loose = i;  // the first point of the run of y not on a row
      for (std::size_t j = i; j < stop;) {
        const double z = points.z[j];
        std::size_t end = j + 1;
        while (end < stop && SameBits(points.z[end], z)) ++end;
        if (end - j >= kMinRun) {
          rings(loose, j, y);
          flush(j);
          for (std::size_t at = j; at < end; at += kChunk) {
            const std::size_t count = end - at < kChunk ? end - at : kChunk;
            row(Run{points.x + at, y, z, count}, out + at);
          }
          pending = loose = end;
        }
        j = end;
      }
      rings(loose, stop, y);
      i = stop;
    }
    flush(points.count);
  }
};

}  // namespace noisebind::simd::detail

#endif
