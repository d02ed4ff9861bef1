// The machinery shared by the batch evaluation of every node kind: scratch
// arrays, and the walk from a node to its sources. Internal to engine/graph/batch.
#ifndef NOISEBIND_OBJECTS_BATCH_EVALUATOR_H
#define NOISEBIND_OBJECTS_BATCH_EVALUATOR_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "engine/graph/batch/batch.h"
#include "engine/graph/node.h"
#include "noisebind/simd/points.h"

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
// points a transformer moved, or a subset a selector gathered. Sets at
// different points have different ids, so values kept for one set reach
// only readers of that set.
struct PointSet {
  std::uint64_t id;
  std::size_t count;
  // For a subset: the set it was gathered from, and which of its points it
  // holds (bit i of mask: point i), in their order. Otherwise null.
  const PointSet* parent;
  std::uint64_t mask[kBlockSize / 64];
};

// Finds entries by a 64-bit hash, open addressing over a table that grows
// as entries come and is emptied, not freed, between blocks. The caller
// keeps the entries and says which of those with the hash is the one.
class HashIndex {
 public:
  static constexpr std::uint32_t kNone = ~std::uint32_t{0};

  // The first entry with `hash` for which same(entry) holds, or kNone.
  template <class Same>
  std::uint32_t Find(std::uint64_t hash, Same same) const {
    if (m_size == 0) return kNone;
    const std::size_t mask = m_buckets.size() - 1;
    for (std::size_t b = hash & mask;; b = (b + 1) & mask) {
      const Bucket& bucket = m_buckets[b];
      if (bucket.entry == kNone) return kNone;
      if (bucket.hash == hash && same(bucket.entry)) return bucket.entry;
    }
  }
  // Makes room for one more entry; may throw std::bad_alloc.
  void Reserve();
  // After Reserve.
  void Insert(std::uint64_t hash, std::uint32_t entry) noexcept;
  void Clear() noexcept;

 private:
  struct Bucket {
    std::uint64_t hash;
    std::uint32_t entry;
  };
  std::vector<Bucket> m_buckets;
  std::size_t m_size = 0;
};

// The values of nodes read twice or more, kept for the sets they were read
// at until the end of the block, in arrays reused from block to block.
class Kept {
 public:
  // Values of `slot` at `set`, or null.
  const double* Find(std::uint32_t slot, std::uint64_t set) const;
  // Whether any values of `slot` are kept.
  bool Any(std::uint32_t slot) const { return m_perSlot[slot] != 0; }
  // Keeps a copy of values[0..count) for `slot` at `set`; does nothing when
  // there is no memory, or the budget is spent (the node is then evaluated
  // again by its next reader, which gives the same values).
  void Keep(std::uint32_t slot, std::uint64_t set, const double* values,
            std::size_t count) noexcept;
  // Drops every value kept: the block is over.
  void Clear() noexcept;
  void SetSlots(std::size_t slots) { m_perSlot.assign(slots, 0); }

 private:
  using Array = std::array<double, kBlockSize>;
  // About 32 MB: beyond that a graph is recomputed where it would be kept.
  static constexpr std::size_t kBudget = 1 << 14;
  struct Entry {
    std::uint32_t slot;
    std::uint64_t set;
  };
  static std::uint64_t Hash(std::uint32_t slot, std::uint64_t set);
  std::vector<Entry> m_entries;
  std::vector<std::uint32_t> m_perSlot;  // entries kept for each slot
  HashIndex m_index;
  // Entry i's values are in m_arrays[i].
  std::vector<std::unique_ptr<Array>> m_arrays;
};

// The sets of points of the current block that transformers made, by their
// coordinates: a transformer that moves points to coordinates a set already
// holds (equal bits) reads that set, and so every value kept for it.
class KnownSets {
 public:
  // The id of the set at `points` when one is known; otherwise `fresh`,
  // noted for later sets when memory and the budget allow.
  std::uint64_t IdOf(const Points& points, std::uint64_t fresh) noexcept;
  void Clear() noexcept;

 private:
  using Array = std::array<double, 3 * kBlockSize>;
  static constexpr std::size_t kBudget = 1 << 10;
  struct Known {
    std::uint64_t id;
    std::size_t count;
  };
  bool Same(const Known& known, std::size_t entry, const Points& points) const;
  std::vector<Known> m_known;
  HashIndex m_index;
  // Set i's coordinates (x, y, then z) are in m_arrays[i].
  std::vector<std::unique_ptr<Array>> m_arrays;
};

// One graph evaluated on one thread, block after block: the arrays it
// allocates serve every later block, so that after the first block it
// allocates nothing.
class Evaluator {
 public:
  // Finds the nodes of the graph that are read twice or more; may throw
  // std::bad_alloc.
  explicit Evaluator(const Node& root) { Reset(root); }

  // Makes the evaluator one of `root`'s graph, as it is now, keeping its
  // arrays; may throw std::bad_alloc.
  void Reset(const Node& root);

  // out[i] = the root's value at point i of a block of at most kBlockSize
  // points; `out` must not overlap the coordinates. May throw
  // std::bad_alloc, after which the evaluator must be Reset.
  void Block(const Node& root, const Points& points, double* out);

  // The node's values at `points`, which are those of the current set. A
  // node read twice or more is evaluated once per set and its values handed
  // to every reader.
  void Run(const Node& node, const Points& points, double* out);

  // The node's source at `index` at the current points.
  void Source(const Node& node, int index, const Points& points, double* out) {
    Run(*node.source(index), points, out);
  }
  // ... at points moved from the current ones: a set of their own, unless
  // the block already has a set at the same coordinates.
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
  KnownSets m_known;
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
