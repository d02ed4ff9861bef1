// The machinery shared by the batch evaluation of every node kind: scratch
// arrays, and the walk from a node to its sources. Internal to objects/batch.
#ifndef NOISEBIND_OBJECTS_BATCH_EVALUATOR_H
#define NOISEBIND_OBJECTS_BATCH_EVALUATOR_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "noisebind/simd/points.h"
#include "objects/batch/batch.h"
#include "objects/node.h"

namespace noisebind::objects::batch {

using simd::Points;

// Arrays of kBlockSize doubles, taken and given back in stack order. Each
// is allocated the first time the graph needs that many at once and reused
// by every later block, so an evaluation allocates about as many arrays as
// its graph holds at its deepest, whatever the number of points.
class Scratch {
 public:
  // May throw std::bad_alloc.
  double* Take();
  void GiveBack(std::size_t count) { m_used -= count; }

 private:
  using Array = std::array<double, kBlockSize>;
  // Each array apart, so that earlier ones stay in place as the list grows;
  // nothing is allocated before the first Take.
  std::vector<std::unique_ptr<Array>> m_arrays;
  std::size_t m_used = 0;
};

// `count` scratch arrays for as long as the object lives.
template <std::size_t count>
class Arrays {
 public:
  // When Take throws, the whole evaluation is abandoned with its scratch.
  explicit Arrays(Scratch& scratch) : m_scratch(scratch) {
    for (double*& array : m_arrays) array = scratch.Take();
  }
  ~Arrays() { m_scratch.GiveBack(count); }
  Arrays(const Arrays&) = delete;
  Arrays& operator=(const Arrays&) = delete;

  double* operator[](std::size_t index) const { return m_arrays[index]; }

 private:
  Scratch& m_scratch;
  std::array<double*, count> m_arrays{};
};

// A set of points nodes are read at during one block: the block itself,
// points a transformer moved, or a subset a selector gathered. Each has an
// id of its own, so values kept for one set reach only readers of that set.
struct PointSet {
  std::uint64_t id;
  std::size_t count;
  // For a subset: the set it was gathered from, and which of its points it
  // holds (bit i of mask: point i), in their order. Otherwise null.
  const PointSet* parent;
  std::uint64_t mask[kBlockSize / 64];
};

// The values of nodes read twice or more, kept for the sets they were read
// at, in arrays reused from block to block. A set's values are dropped when
// the set ends; sets end in the reverse order of their start, so the kept
// values form a stack.
class Kept {
 public:
  // Values of `slot` at `set`, or null.
  const double* Find(std::uint32_t slot, std::uint64_t set) const;
  // Keeps a copy of values[0..count) for `slot` at `set`; does nothing when
  // there is no memory, or the budget is spent (the node is then evaluated
  // again by its next reader, which gives the same values).
  void Keep(std::uint32_t slot, std::uint64_t set, const double* values,
            std::size_t count) noexcept;
  // Drops every value kept for `set` (the latest set that has any).
  void Drop(std::uint64_t set) noexcept;
  void SetSlots(std::size_t slots) { m_latest.assign(slots, kNone); }

 private:
  using Array = std::array<double, kBlockSize>;
  static constexpr std::size_t kNone = ~std::size_t{0};
  // About 32 MB: beyond that a graph is recomputed where it would be kept.
  static constexpr std::size_t kBudget = 1 << 14;
  struct Entry {
    std::uint32_t slot;
    std::uint64_t set;
    std::size_t previous;  // the slot's entry before this one, or kNone
    double* values;
  };
  std::vector<Entry> m_entries;
  std::vector<std::size_t> m_latest;  // per slot: its latest entry, or kNone
  std::vector<std::unique_ptr<Array>> m_arrays;
  std::vector<double*> m_free;  // as long as m_arrays, so a drop never allocates
};

// One evaluation of one graph on one thread.
class Evaluator {
 public:
  // Finds the nodes of the graph that are read twice or more; may throw
  // std::bad_alloc.
  explicit Evaluator(const Node& root);

  // out[i] = the root's value at point i of a block of at most kBlockSize
  // points; `out` must not overlap the coordinates.
  void Block(const Node& root, const Points& points, double* out);

  // The node's values at `points`, which are those of the current set. A
  // node read twice or more is evaluated once per set and its values handed
  // to every reader.
  void Run(const Node& node, const Points& points, double* out);

  // The node's source at `index` at the current points.
  void Source(const Node& node, int index, const Points& points, double* out) {
    Run(*node.source(index), points, out);
  }
  // ... at points moved from the current ones: a set of their own.
  void SourceMoved(const Node& node, int index, const Points& moved, double* out);
  // ... at the current points whose bits are set in `mask`, gathered in
  // their order into `subset`.
  void SourceSubset(const Node& node, int index, const Points& subset,
                    const std::uint64_t (&mask)[kBlockSize / 64], double* out);

  Scratch& scratch() { return m_scratch; }

 private:
  static constexpr std::uint32_t kNotShared = ~std::uint32_t{0};
  std::uint32_t SlotOf(const Node& node) const;
  // The slot's values at `set`, kept for it or gathered from those kept for
  // a set it is a subset of.
  bool Recall(std::uint32_t slot, const PointSet& set, double* out);
  void Within(PointSet& set, const Node& node, const Points& points, double* out);

  Scratch m_scratch;
  Kept m_kept;
  std::unordered_map<const Node*, std::uint32_t> m_slots;
  const PointSet* m_current = nullptr;
  std::uint64_t m_nextSet = 0;
  int m_depth = 0;
};

// How one kind evaluates a block.
using KindFunction = void (*)(const Node& node, const Points& points, double* out,
                              Evaluator& evaluator);

// libnoise's own per-point GetValue over the block: for nodes whose module is
// not the class their kind names.
void PointByPoint(const Node& node, const Points& points, double* out);

// The node's module as class M; when it is another class (which no node
// made by CreateNode is), null after evaluating the block point by point.
template <class M>
const M* Typed(const Node& node, const Points& points, double* out) {
  const M* module = node.As<M>();
  if (module == nullptr) PointByPoint(node, points, out);
  return module;
}

}  // namespace noisebind::objects::batch

#endif  // NOISEBIND_OBJECTS_BATCH_EVALUATOR_H
