// Previews: a node's map over a view, on every core, cancelled when a newer
// preview of the same page replaces it.
#ifndef NOISEBIND_STUDIO_PREVIEW_H
#define NOISEBIND_STUDIO_PREVIEW_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/maps/map_builder.h"
#include "engine/graph/node.h"
#include "engine/tiles/tile_grid.h"
#include "engine/tiles/tile_maker.h"

namespace noisebind::studio {

// The largest preview, in values (8 bytes each).
constexpr std::uint64_t kMaxPreviewValues = 1024u * 1024u;
constexpr std::uint32_t kMaxPreviewSide = 2048;

// What a page asks to see: "plane", "sphere" or "seamless" (a plane that
// tiles), over bounds in the order of noise.planemap's and
// noise.spheremap's, width by height values.
struct PreviewView {
  maps::MapRequest request;
};

// Reads a view from its parts; false with the reason when they are not a
// view the maps accept, or larger than the limits above.
bool ParseView(const std::string& projection, const std::vector<double>& bounds, double width,
               double height, PreviewView* view, std::string* error);

// The largest tile the studio makes, pixels across: its values and border
// stay within a preview's.
constexpr std::uint32_t kMaxTileSide = 512;

// One tile of the tiles' grids: the sphere, or a plane of bounds in
// noise.planemap's order {x0, x1, z0, z1}.
struct TileView {
  tiles::TileGrid grid;
  tiles::TileAddress address{0, 0, 0};
  std::uint32_t size = 256;
};

// Reads a tile from its parts (the bounds are a plane's only); false with
// the reason when it is not a tile of the grid or is larger than above.
bool ParseTileView(const std::string& surface, const std::vector<double>& bounds, double level,
                   double x, double y, double size, TileView* view, std::string* error);

// Cancellation of a preview: set by a newer one.
using CancelFlag = std::shared_ptr<std::atomic<bool>>;

// Previews under way, and at most `running` at once (each already uses
// every core). A page's work has a version: work of a newer version
// cancels the page's older work, and work of an older version than the
// page's latest is refused.
class PreviewGate {
 public:
  explicit PreviewGate(unsigned running) : m_free(running) {}
  // One preview per page: cancels the page's previous one and waits for a
  // turn; null when this one was itself cancelled while waiting.
  CancelFlag Enter(const std::string& page);
  // Many at once per page (the tiles of a view): cancels the page's work of
  // older versions and waits for a turn; null when refused or cancelled.
  CancelFlag Enter(const std::string& page, std::uint64_t version);
  void Leave(const std::string& page, const CancelFlag& flag);

 private:
  struct PageWork {
    std::uint64_t version = 0;
    std::vector<CancelFlag> running;  // and waiting
  };
  CancelFlag Admit(const std::string& page, std::uint64_t version, bool newest);
  // Forgets a flag, and the page once it has no work left.
  void Forget(const std::string& page, const CancelFlag& flag);

  std::mutex m_mutex;
  std::condition_variable m_turn;
  unsigned m_free;
  std::map<std::string, PageWork> m_pages;
};

// Fills `values` (width * height) with the node's map on `threads`
// threads; false with the reason (or "cancelled") when it fails.
bool RunPreview(const objects::Node& node, const PreviewView& view, unsigned threads,
                const std::atomic<bool>& cancel, std::vector<double>* values, std::string* error);

// Samples the node's tile as the tiles command does (tiles::SampleTile),
// on `threads` threads; false with the reason (or "cancelled") when it
// fails.
bool RunTile(const objects::Node& node, const TileView& view, unsigned threads,
             const std::atomic<bool>& cancel, tiles::TileSamples* samples, std::string* error);

}  // namespace noisebind::studio

#endif  // NOISEBIND_STUDIO_PREVIEW_H
