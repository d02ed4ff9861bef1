#include "objects/batch/evaluator.h"

#include <algorithm>

namespace noisebind::objects::batch {
namespace {

bool InMask(const std::uint64_t (&mask)[kBlockSize / 64], std::size_t i) {
  return ((mask[i / 64] >> (i % 64)) & 1u) != 0;
}

}  // namespace

double* Scratch::Take() {
  if (m_used == m_arrays.size()) m_arrays.push_back(std::make_unique<Array>());
  return m_arrays[m_used++]->data();
}

const double* Kept::Find(std::uint32_t slot, std::uint64_t set) const {
  for (std::size_t e = m_latest[slot]; e != kNone; e = m_entries[e].previous) {
    if (m_entries[e].set == set) return m_entries[e].values;
  }
  return nullptr;
}

void Kept::Keep(std::uint32_t slot, std::uint64_t set, const double* values,
                std::size_t count) noexcept {
  if (m_entries.size() >= kBudget) return;
  try {
    if (m_free.empty()) {
      // The free list has room for every array first, so a drop never
      // allocates.
      m_free.reserve(m_arrays.size() + 1);
      m_arrays.push_back(std::make_unique<Array>());
      m_free.push_back(m_arrays.back()->data());
    }
    m_entries.push_back({slot, set, m_latest[slot], m_free.back()});
  } catch (...) {
    return;
  }
  m_free.pop_back();
  std::copy_n(values, count, m_entries.back().values);
  m_latest[slot] = m_entries.size() - 1;
}

void Kept::Drop(std::uint64_t set) noexcept {
  while (!m_entries.empty() && m_entries.back().set == set) {
    const Entry& entry = m_entries.back();
    m_latest[entry.slot] = entry.previous;
    m_free.push_back(entry.values);
    m_entries.pop_back();
  }
}

Evaluator::Evaluator(const Node& root) {
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
  return true;
}

void Evaluator::Within(PointSet& set, const Node& node, const Points& points, double* out) {
  // Restores the outer set and drops this one's values however Run ends.
  struct Scope {
    Evaluator& evaluator;
    const PointSet* outer;
    ~Scope() {
      evaluator.m_kept.Drop(evaluator.m_current->id);
      evaluator.m_current = outer;
    }
  } scope{*this, m_current};
  m_current = &set;
  Run(node, points, out);
}

void Evaluator::Block(const Node& root, const Points& points, double* out) {
  PointSet set{m_nextSet++, points.count, nullptr, {}};
  Within(set, root, points, out);
}

void Evaluator::SourceMoved(const Node& node, int index, const Points& moved, double* out) {
  PointSet set{m_nextSet++, moved.count, nullptr, {}};
  Within(set, *node.source(index), moved, out);
}

void Evaluator::SourceSubset(const Node& node, int index, const Points& subset,
                             const std::uint64_t (&mask)[kBlockSize / 64], double* out) {
  PointSet set{m_nextSet++, subset.count, m_current, {}};
  std::copy(std::begin(mask), std::end(mask), set.mask);
  Within(set, *node.source(index), subset, out);
}

}  // namespace noisebind::objects::batch
