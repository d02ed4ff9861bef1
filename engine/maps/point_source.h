// What a map evaluates: a source of values at points, called by several
// worker threads at once on blocks of points.
#ifndef NOISEBIND_MAPS_POINT_SOURCE_H
#define NOISEBIND_MAPS_POINT_SOURCE_H

#include <cstddef>
#include <memory>
#include <string>

namespace noisebind::maps {

class PointSource {
 public:
  // What one worker thread keeps between blocks (a host call of its own,
  // say); sources that need nothing have none.
  class Workspace {
   public:
    virtual ~Workspace() = default;
  };

  virtual ~PointSource() = default;

  // Asked once, on the calling thread, before any work starts: false, with
  // the reason in `why`, when the source cannot be evaluated at all.
  virtual bool Evaluable(std::string* why) const {
    (void)why;
    return true;
  }

  // Made on the calling thread, one for each worker, before threads start.
  virtual std::unique_ptr<Workspace> NewWorkspace() const { return nullptr; }

  // The values at the points (x[i], y[i], z[i]) for i below `count`, into
  // `out`. Called by several threads at once, each with its own workspace.
  // False, with the reason in `error`, when a point cannot be evaluated;
  // the points before it are then in `out`.
  virtual bool Values(Workspace* workspace, const double* x, const double* y, const double* z,
                      std::size_t count, double* out, std::string* error) const = 0;
};

}  // namespace noisebind::maps

#endif  // NOISEBIND_MAPS_POINT_SOURCE_H
