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

#include "engine/graph/node.h"
#include "engine/maps/map_builder.h"

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

// Cancellation of a preview: set by a newer one.
using CancelFlag = std::shared_ptr<std::atomic<bool>>;

// Previews under way, one per page at most, and at most `running` at once
// (each already uses every core).
class PreviewGate {
 public:
  explicit PreviewGate(unsigned running) : m_free(running) {}
  // Cancels the page's previous preview and waits for a turn; null when
  // this one was itself cancelled while waiting.
  CancelFlag Enter(const std::string& page);
  void Leave(const std::string& page, const CancelFlag& flag);

 private:
  std::mutex m_mutex;
  std::condition_variable m_turn;
  unsigned m_free;
  std::map<std::string, CancelFlag> m_latest;
};

// Fills `values` (width * height) with the node's map on `threads`
// threads; false with the reason (or "cancelled") when it fails.
bool RunPreview(const objects::Node& node, const PreviewView& view, unsigned threads,
                const std::atomic<bool>& cancel, std::vector<double>* values, std::string* error);

}  // namespace noisebind::studio

#endif  // NOISEBIND_STUDIO_PREVIEW_H
