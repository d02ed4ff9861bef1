// A node of a noise graph: one libnoise module with the nodes it takes its
// sources from. Lua-free, so that other libraries (maps, batch kernels) can
// walk and evaluate graphs on any thread.
//
// Threads: GetValues, Evaluable, module(), kind() and the source accessors
// only read the graph, so several threads may call them at once while
// nothing changes it. Every other method changes the graph and must not run
// while another thread reads it.
#ifndef NOISEBIND_OBJECTS_NODE_H
#define NOISEBIND_OBJECTS_NODE_H

#include <libnoise/module/modulebase.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/graph/classes_table.h"

namespace noisebind::objects {

// Every libnoise module class a node can hold, in the order of the rows of
// engine/graph/classes_table.h.
enum class Kind {
#define NOISEBIND_KIND(name, ...) k##name,
  NOISEBIND_CLASSES(NOISEBIND_KIND)
#undef NOISEBIND_KIND
};
#define NOISEBIND_ONE(...) +1
constexpr int kKindCount = 0 NOISEBIND_CLASSES(NOISEBIND_ONE);
#undef NOISEBIND_ONE

// The libnoise class name of a kind, e.g. "RidgedMulti".
const char* KindName(Kind kind);

// Graphs deeper than this are not evaluated: libnoise recurses once per
// level, and the stack of a worker thread is finite.
constexpr int kMaxGraphDepth = 1000;

// What a change of the graph can refuse.
enum class SourceStatus { kDone, kBadIndex, kCycle, kNoMemory };

class Node {
 public:
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;
  // Detaches the node from its sources and from the nodes that use it: a
  // node whose source is destroyed has that source missing, never dangling.
  virtual ~Node();

  Kind kind() const { return m_kind; }
  const char* name() const { return KindName(m_kind); }

  // The user's name of the node (empty: none), kept in graph files as its
  // id. Setting it gives false, changing nothing, when memory runs out.
  const std::string& label() const { return m_label; }
  bool SetLabel(std::string_view label) noexcept;

  // The libnoise module this node evaluates; its sources are the modules of
  // its source nodes. Only valid to evaluate while Evaluable().
  const noise::module::Module& module() const { return *m_module; }

  // Typed access to the module, for its settings: null when the node holds
  // another class. `M` is the libnoise class, e.g. noise::module::Perlin.
  template <class M>
  const M* As() const {
    return dynamic_cast<const M*>(m_module);
  }
  template <class M>
  M* MutableAs() {
    return dynamic_cast<M*>(m_module);
  }

  // The number of sources libnoise's class takes, and the source node at
  // `index` (from 0), or null while it is missing.
  int SourceCount() const { return static_cast<int>(m_sources.size()); }
  const Node* source(int index) const { return m_sources[static_cast<std::size_t>(index)]; }

  // Makes `source` (null: none) the source at `index` (from 0). Refuses,
  // changing nothing, an index out of range and a source that would make a
  // cycle (this node reachable from `source`, or `source` itself), and
  // gives kNoMemory when the check cannot allocate.
  SourceStatus SetSource(int index, Node* source) noexcept;

  // True when the graph from this node down can be evaluated; otherwise
  // false with the reason, e.g. "Add needs source 2" (libnoise would
  // dereference a null source), "Curve needs at least 4 control points,
  // has 2", or a graph deeper than kMaxGraphDepth. Walks the whole graph
  // (callers may keep the answer while GraphGeneration() stays the same);
  // may throw std::bad_alloc.
  bool Evaluable(std::string* why) const;

  // Values at `count` points: each exactly module().GetValue(x[i], y[i],
  // z[i]), the whole graph evaluated a block of points at a time (see
  // engine/graph/batch/batch.h); `out` may be one of x, y and z but must not
  // overlap them otherwise. Reads the graph only; never throws. Overrides
  // must give the same doubles.
  virtual void GetValues(const double* x, const double* y, const double* z, std::size_t count,
                         double* out) const;

  // Call after a change that can make the graph evaluable or not (control
  // points added or cleared): see GraphGeneration.
  static void GraphChanged();

 protected:
  Node(Kind kind, noise::module::Module* module) : m_kind(kind), m_module(module) {}
  void SetSourceCount(int count) { m_sources.assign(static_cast<std::size_t>(count), nullptr); }

  // Sets libnoise's source pointer at `index`; null clears it.
  virtual void SetModuleSource(int index, const noise::module::Module* source) = 0;

 private:
  // Why this node alone cannot be evaluated, or false.
  bool Incomplete(std::string* why) const;
  // Whether libnoise's own GetValue costs less at one point than the batch
  // path: it evaluates a node once per read of it, the batch path once.
  bool PointByLibnoise() const noexcept;
  void DropUser(const Node* user);

  Kind m_kind;
  noise::module::Module* m_module;
  std::string m_label;
  std::vector<Node*> m_sources;
  // The nodes that use this one as a source, once per use.
  std::vector<Node*> m_users;
  // PointByLibnoise's answer: GraphGeneration() * 2 + answer, 0 when not
  // known. Threads that read the graph at once may each store it.
  mutable std::atomic<std::uint64_t> m_pointByLibnoise{0};
};

// A number that changes whenever any graph changes in a way that can change
// whether it is evaluable (sources set, nodes destroyed, control points
// edited): a caller may keep Evaluable's answer while it stays the same.
std::uint64_t GraphGeneration();

}  // namespace noisebind::objects

#endif  // NOISEBIND_OBJECTS_NODE_H
