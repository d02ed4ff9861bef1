#include "programs/studio/preview.h"

#include <cmath>
#include <new>

#include "engine/maps/node_source.h"

namespace noisebind::studio {
namespace {

constexpr const char* kCancelled = "cancelled by a newer preview";

// A node whose blocks stop coming once the preview is cancelled: the map
// then ends at the next block of every worker.
class CancellableSource final : public maps::PointSource {
 public:
  CancellableSource(const objects::Node& node, const std::atomic<bool>& cancel)
      : m_node(node), m_cancel(cancel) {}

  bool Evaluable(std::string* why) const override { return m_node.Evaluable(why); }

  bool Values(Workspace*, const double* x, const double* y, const double* z, std::size_t count,
              double* out, std::string* error) const override {
    if (m_cancel.load(std::memory_order_relaxed)) {
      *error = kCancelled;
      return false;
    }
    m_node.GetValues(x, y, z, count, out);
    return true;
  }

 private:
  const objects::Node& m_node;
  const std::atomic<bool>& m_cancel;
};

bool WholeNumber(double value, std::uint32_t limit, std::uint32_t* out) {
  if (!(value >= 1 && value <= limit) || std::floor(value) != value) return false;
  *out = static_cast<std::uint32_t>(value);
  return true;
}

}  // namespace

bool ParseView(const std::string& projection, const std::vector<double>& bounds, double width,
               double height, PreviewView* view, std::string* error) {
  maps::MapRequest& request = view->request;
  request = maps::MapRequest{};
  bool sphere = false;
  if (projection == "plane" || projection == "seamless") {
    request.projection = maps::Projection::kPlane;
    request.seamless = projection == "seamless";
  } else if (projection == "sphere") {
    request.projection = maps::Projection::kSphere;
    sphere = true;
  } else {
    *error = "projection must be plane, sphere or seamless, got '" + projection + "'";
    return false;
  }
  if (bounds.size() != 4) {
    *error = "bounds must be 4 numbers, got " + std::to_string(bounds.size());
    return false;
  }
  for (int pair = 0; pair < 2; ++pair) {
    const double from = bounds[2 * pair];
    const double to = bounds[2 * pair + 1];
    if (!(from < to) || !std::isfinite(to - from)) {
      *error = "bounds must be finite, each pair increasing";
      return false;
    }
    const double limit = sphere ? (pair == 0 ? 90 : 180) : HUGE_VAL;
    if (from < -limit || to > limit) {
      *error = "sphere bounds must be {south, north, west, east} within -90..90 and -180..180";
      return false;
    }
  }
  if (!WholeNumber(width, kMaxPreviewSide, &request.width) ||
      !WholeNumber(height, kMaxPreviewSide, &request.height)) {
    *error = "width and height must be integers from 1 to " + std::to_string(kMaxPreviewSide);
    return false;
  }
  if (std::uint64_t{request.width} * request.height > kMaxPreviewValues) {
    *error = "a preview holds at most " + std::to_string(kMaxPreviewValues) + " values";
    return false;
  }
  // As noise.planemap and noise.spheremap take their bounds.
  const int columns = sphere ? 2 : 0;
  const int rows = sphere ? 0 : 2;
  request.columnFrom = bounds[columns];
  request.columnTo = bounds[columns + 1];
  request.rowFrom = bounds[rows];
  request.rowTo = bounds[rows + 1];
  request.flip = sphere;  // north up, as spheremap stores it
  return true;
}

bool ParseTileView(const std::string& surface, const std::vector<double>& bounds, double level,
                   double x, double y, double size, TileView* view, std::string* error) {
  *view = TileView{};
  if (surface == "sphere") {
    view->grid.surface = tiles::Surface::kSphere;
  } else if (surface == "plane") {
    view->grid.surface = tiles::Surface::kPlane;
    if (bounds.size() != 4) {
      *error = "plane bounds must be 4 numbers, got " + std::to_string(bounds.size());
      return false;
    }
    for (int pair = 0; pair < 2; ++pair) {
      const double from = bounds[2 * pair];
      const double to = bounds[2 * pair + 1];
      if (!(from < to) || !std::isfinite(to - from)) {
        *error = "bounds must be finite, each pair increasing";
        return false;
      }
    }
    view->grid.plane = tiles::PlaneBounds{bounds[0], bounds[2], bounds[1], bounds[3]};
  } else {
    *error = "surface must be sphere or plane, got '" + surface + "'";
    return false;
  }
  if (!(level >= 0 && level <= tiles::kMaxLevel) || std::floor(level) != level) {
    *error = "the level must be an integer from 0 to " + std::to_string(tiles::kMaxLevel);
    return false;
  }
  const auto z = static_cast<std::uint32_t>(level);
  // Any whole number up to 2^31 fits the address; TileInGrid says the rest.
  const double limit = 2147483648.0;
  if (!(x >= 0 && x < limit && y >= 0 && y < limit) || std::floor(x) != x || std::floor(y) != y) {
    *error = "x and y must be integers from 0";
    return false;
  }
  view->address = {z, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)};
  if (!tiles::TileInGrid(view->grid, view->address)) {
    *error = "no tile " + std::to_string(z) + "/" + std::to_string(view->address.x) + "/" +
             std::to_string(view->address.y) + " in the grid";
    return false;
  }
  if (!WholeNumber(size, kMaxTileSide, &view->size)) {
    *error = "the tile size must be an integer from 1 to " + std::to_string(kMaxTileSide);
    return false;
  }
  return true;
}

CancelFlag PreviewGate::Enter(const std::string& page) {
  return Admit(page, 0, true);
}

CancelFlag PreviewGate::Enter(const std::string& page, std::uint64_t version) {
  return Admit(page, version, false);
}

CancelFlag PreviewGate::Admit(const std::string& page, std::uint64_t version, bool newest) {
  auto flag = std::make_shared<std::atomic<bool>>(false);
  std::unique_lock<std::mutex> lock(m_mutex);
  PageWork& work = m_pages[page];
  if (newest) version = work.version + 1;
  if (version < work.version) {
    // Older than what the page asks for now: not worth a turn.
    if (work.running.empty()) m_pages.erase(page);
    return nullptr;
  }
  if (version > work.version) {
    for (const CancelFlag& older : work.running) older->store(true);
    work.running.clear();
    work.version = version;
    m_turn.notify_all();  // some may be waiting for a turn
  }
  work.running.push_back(flag);
  m_turn.wait(lock, [&] { return m_free > 0 || flag->load(); });
  if (flag->load()) {
    // Replaced while waiting: the newer work holds the page's entry.
    lock.unlock();
    Forget(page, flag);
    return nullptr;
  }
  --m_free;
  return flag;
}

void PreviewGate::Forget(const std::string& page, const CancelFlag& flag) {
  std::lock_guard<std::mutex> lock(m_mutex);
  auto found = m_pages.find(page);
  if (found == m_pages.end()) return;
  std::vector<CancelFlag>& running = found->second.running;
  for (auto it = running.begin(); it != running.end(); ++it) {
    if (*it == flag) {
      running.erase(it);
      break;
    }
  }
  if (running.empty()) m_pages.erase(found);
}

void PreviewGate::Leave(const std::string& page, const CancelFlag& flag) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_free;
  }
  Forget(page, flag);
  m_turn.notify_all();
}

bool RunPreview(const objects::Node& node, const PreviewView& view, unsigned threads,
                const std::atomic<bool>& cancel, std::vector<double>* values, std::string* error) {
  try {
    values->assign(std::size_t{view.request.width} * view.request.height, 0.0);
  } catch (const std::bad_alloc&) {
    *error = "not enough memory for the preview";
    return false;
  }
  const CancellableSource source(node, cancel);
  maps::RunOptions run;
  run.threads = threads;
  return maps::BuildMap(source, view.request, run, values->data(), error);
}

bool RunTile(const objects::Node& node, const TileView& view, unsigned threads,
             const std::atomic<bool>& cancel, tiles::TileSamples* samples, std::string* error) {
  const CancellableSource source(node, cancel);
  return tiles::SampleTile(source, view.grid, view.address, view.size, threads, samples, error);
}

}  // namespace noisebind::studio
