#include "engine/graph/batch/evaluator.h"

#include <algorithm>
#include <cstring>

namespace noisebind::objects::batch {
namespace {

bool InMask(const std::uint64_t (&mask)[kBlockSize / 64], std::size_t i) {
  return ((mask[i / 64] >> (i % 64)) & 1u) != 0;
}

// Spreads the bits of `value` over the hash, so that nearby sets and slots
// fall into distant buckets.
std::uint64_t Mix(std::uint64_t hash, std::uint64_t value) {
  hash = (hash ^ value) * 0x9E3779B97F4A7C15u;
  return hash ^ (hash >> 29);
}

std::uint64_t Bits(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace

double* Scratch::Take() {
  if (m_used == m_arrays.size()) m_arrays.push_back(std::make_unique<Array>());
  return m_arrays[m_used++]->data();
}

void HashIndex::Reserve() {
  if ((m_size + 1) * 2 <= m_buckets.size()) return;
  std::vector<Bucket> old(std::max<std::size_t>(16, m_buckets.size() * 2), Bucket{0, kNone});
  old.swap(m_buckets);
  const std::size_t mask = m_buckets.size() - 1;
  for (const Bucket& bucket : old) {
    if (bucket.entry == kNone) continue;
    std::size_t b = bucket.hash & mask;
    while (m_buckets[b].entry != kNone) b = (b + 1) & mask;
    m_buckets[b] = bucket;
  }
}

void HashIndex::Insert(std::uint64_t hash, std::uint32_t entry) noexcept {
  const std::size_t mask = m_buckets.size() - 1;
  std::size_t b = hash & mask;
  while (m_buckets[b].entry != kNone) b = (b + 1) & mask;
  m_buckets[b] = {hash, entry};
  ++m_size;
}

void HashIndex::Clear() noexcept {
  if (m_size == 0) return;
  std::fill(m_buckets.begin(), m_buckets.end(), Bucket{0, kNone});
  m_size = 0;
}

std::uint64_t Kept::Hash(std::uint32_t slot, std::uint64_t set) {
  return Mix(Mix(0, slot), set);
}

const double* Kept::Find(std::uint32_t slot, std::uint64_t set) const {
  if (m_perSlot[slot] == 0) return nullptr;
  const std::uint32_t entry = m_index.Find(Hash(slot, set), [&](std::uint32_t e) {
    return m_entries[e].slot == slot && m_entries[e].set == set;
  });
  return entry == HashIndex::kNone ? nullptr : m_arrays[entry]->data();
}

void Kept::Keep(std::uint32_t slot, std::uint64_t set, const double* values,
                std::size_t count) noexcept {
  const std::size_t entry = m_entries.size();
  if (entry >= kBudget) return;
  try {
    m_index.Reserve();
    if (m_arrays.size() == entry) m_arrays.push_back(std::make_unique<Array>());
    m_entries.push_back({slot, set});
  } catch (...) {
    return;
  }
  m_index.Insert(Hash(slot, set), static_cast<std::uint32_t>(entry));
  ++m_perSlot[slot];
  std::copy_n(values, count, m_arrays[entry]->data());
}

void Kept::Clear() noexcept {
  for (const Entry& entry : m_entries) m_perSlot[entry.slot] = 0;
  m_entries.clear();
  m_index.Clear();
}

bool KnownSets::Same(const Known& known, std::size_t entry, const Points& points) const {
  if (known.count != points.count) return false;
  const double* at = m_arrays[entry]->data();
  const std::size_t bytes = points.count * sizeof(double);
  return std::memcmp(at, points.x, bytes) == 0 &&
         std::memcmp(at + kBlockSize, points.y, bytes) == 0 &&
         std::memcmp(at + 2 * kBlockSize, points.z, bytes) == 0;
}

std::uint64_t KnownSets::IdOf(const Points& points, std::uint64_t fresh) noexcept {
  std::uint64_t hash = Mix(0, points.count);
  for (std::size_t i = 0; i < points.count; ++i) {
    hash = Mix(hash, Bits(points.x[i]) ^ (Bits(points.y[i]) * 3) ^ (Bits(points.z[i]) * 5));
  }
  const std::uint32_t found =
      m_index.Find(hash, [&](std::uint32_t e) { return Same(m_known[e], e, points); });
  if (found != HashIndex::kNone) return m_known[found].id;
  const std::size_t entry = m_known.size();
  if (entry >= kBudget) return fresh;
  try {
    m_index.Reserve();
    if (m_arrays.size() == entry) m_arrays.push_back(std::make_unique<Array>());
    m_known.push_back({fresh, points.count});
  } catch (...) {
    return fresh;
  }
  m_index.Insert(hash, static_cast<std::uint32_t>(entry));
  double* at = m_arrays[entry]->data();
  std::copy_n(points.x, points.count, at);
  std::copy_n(points.y, points.count, at + kBlockSize);
  std::copy_n(points.z, points.count, at + 2 * kBlockSize);
  return fresh;
}

void KnownSets::Clear() noexcept {
  m_known.clear();
  m_index.Clear();
}

void Evaluator::Reset(const Node& root) {
  m_slots.clear();
  m_kept.Clear();
  m_known.Clear();
  m_current = nullptr;
  m_depth = 0;
  // Every read of every node below the root, each node walked once.
  std::unordered_map<const Node*, int> reads;
  std::vector<const Node*> pending{&root};
  while (!pending.empty()) {
    const Node* node = pending.back();
    pending.pop_back();
    for (int i = 0; i < node->SourceCount(); ++i) {
      const Node* source = node->source(i);
      if (source != nullptr && reads[source]++ == 0) pending.push_back(source);
    }
  }
  for (const auto& [node, count] : reads) {
    if (count > 1) m_slots.emplace(node, static_cast<std::uint32_t>(m_slots.size()));
  }
  m_kept.SetSlots(m_slots.size());
}

std::uint32_t Evaluator::SlotOf(const Node& node) const {
  if (m_slots.empty()) return kNotShared;
  const auto found = m_slots.find(&node);
  return found != m_slots.end() ? found->second : kNotShared;
}

bool Evaluator::Recall(std::uint32_t slot, const PointSet& set, double* out) {
  if (!m_kept.Any(slot)) return false;
  if (const double* kept = m_kept.Find(slot, set.id)) {
    std::copy_n(kept, set.count, out);
    return true;
  }
  // A subset's points are its parent's: their values serve as well.
  bool keptAbove = false;
  for (const PointSet* above = set.parent; above != nullptr && !keptAbove; above = above->parent) {
    keptAbove = m_kept.Find(slot, above->id) != nullptr;
  }
  if (!keptAbove) return false;
  Arrays<1> whole(m_scratch);
  Recall(slot, *set.parent, whole[0]);
  std::size_t n = 0;
  for (std::size_t i = 0; i < set.parent->count; ++i) {
    if (InMask(set.mask, i)) out[n++] = whole[0][i];
  }
  // Kept for this set too, so that subsets of it find them one step up.
  m_kept.Keep(slot, set.id, out, set.count);
  return true;
}

void Evaluator::Within(PointSet& set, const Node& node, const Points& points, double* out) {
  // Restores the outer set however Run ends.
  struct Scope {
    Evaluator& evaluator;
    const PointSet* outer;
    ~Scope() { evaluator.m_current = outer; }
  } scope{*this, m_current};
  m_current = &set;
  Run(node, points, out);
}

void Evaluator::Block(const Node& root, const Points& points, double* out) {
  // Values are kept, and sets known, for one block only.
  struct Scope {
    Evaluator& evaluator;
    ~Scope() {
      evaluator.m_kept.Clear();
      evaluator.m_known.Clear();
    }
  } scope{*this};
  m_nextSet = 0;
  PointSet set{m_nextSet++, points.count, nullptr, {}};
  Within(set, root, points, out);
}

void Evaluator::SourceMoved(const Node& node, int index, const Points& moved, double* out) {
  // Only values kept for shared nodes can be reused: without any, sets
  // need not be told apart by their points.
  const std::uint64_t fresh = m_nextSet++;
  PointSet set{m_slots.empty() ? fresh : m_known.IdOf(moved, fresh), moved.count, nullptr, {}};
  Within(set, *node.source(index), moved, out);
}

void Evaluator::SourceSubset(const Node& node, int index, const Points& subset,
                             const std::uint64_t (&mask)[kBlockSize / 64], double* out) {
  PointSet set{m_nextSet++, subset.count, m_current, {}};
  std::copy(std::begin(mask), std::end(mask), set.mask);
  Within(set, *node.source(index), subset, out);
}

}  // namespace noisebind::objects::batch
