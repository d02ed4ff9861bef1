#include "engine/graph/node.h"

#include <libnoise/module/billow.h>
#include <libnoise/module/curve.h>
#include <libnoise/module/perlin.h>
#include <libnoise/module/ridgedmulti.h>
#include <libnoise/module/terrace.h>
#include <libnoise/module/turbulence.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "engine/graph/batch/batch.h"

namespace noisebind::objects {
namespace {

std::atomic<std::uint64_t> generation{1};

constexpr const char* kKindNames[] = {
#define NOISEBIND_NAME(name, ...) #name,
    NOISEBIND_CLASSES(NOISEBIND_NAME)
#undef NOISEBIND_NAME
};

// libnoise asserts these counts before it reads the control points.
constexpr int kCurveMinPoints = 4;
constexpr int kTerraceMinPoints = 2;

}  // namespace

const char* KindName(Kind kind) {
  return kKindNames[static_cast<int>(kind)];
}

std::uint64_t GraphGeneration() {
  return generation.load(std::memory_order_acquire);
}

void Node::GraphChanged() {
  generation.fetch_add(1, std::memory_order_acq_rel);
}

Node::~Node() {
  for (Node* user : m_users) {
    for (std::size_t i = 0; i < user->m_sources.size(); ++i) {
      if (user->m_sources[i] != this) continue;
      user->m_sources[i] = nullptr;
      user->SetModuleSource(static_cast<int>(i), nullptr);
    }
  }
  for (Node* source : m_sources) {
    if (source != nullptr) source->DropUser(this);
  }
  GraphChanged();
}

bool Node::SetLabel(std::string_view label) noexcept {
  try {
    m_label.assign(label.data(), label.size());
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void Node::DropUser(const Node* user) {
  const auto found = std::find(m_users.begin(), m_users.end(), user);
  if (found != m_users.end()) m_users.erase(found);
}

namespace {

// Whether `target` is reachable from `from` through sources: a walk with a
// visited set, so that shared sources are visited once.
bool Reaches(const Node* from, const Node* target) {
  std::vector<const Node*> pending{from};
  std::unordered_set<const Node*> seen{from};
  while (!pending.empty()) {
    const Node* node = pending.back();
    pending.pop_back();
    if (node == target) return true;
    for (int i = 0; i < node->SourceCount(); ++i) {
      const Node* next = node->source(i);
      if (next != nullptr && seen.insert(next).second) pending.push_back(next);
    }
  }
  return false;
}

}  // namespace

SourceStatus Node::SetSource(int index, Node* source) noexcept {
  if (index < 0 || index >= SourceCount()) return SourceStatus::kBadIndex;
  if (source != nullptr) {
    // The steps that can fail come before any change.
    try {
      if (Reaches(source, this)) return SourceStatus::kCycle;
      source->m_users.reserve(source->m_users.size() + 1);
    } catch (const std::bad_alloc&) {
      return SourceStatus::kNoMemory;
    }
  }
  Node*& slot = m_sources[static_cast<std::size_t>(index)];
  if (slot != nullptr) slot->DropUser(this);
  slot = source;
  if (source != nullptr) source->m_users.push_back(this);
  SetModuleSource(index, source != nullptr ? &source->module() : nullptr);
  GraphChanged();
  return SourceStatus::kDone;
}

bool Node::Incomplete(std::string* why) const {
  for (std::size_t i = 0; i < m_sources.size(); ++i) {
    if (m_sources[i] == nullptr) {
      *why = std::string(name()) + " needs source " + std::to_string(i + 1);
      return true;
    }
  }
  int points = 0;
  int needed = 0;
  if (const auto* curve = As<noise::module::Curve>()) {
    points = curve->GetControlPointCount();
    needed = kCurveMinPoints;
  } else if (const auto* terrace = As<noise::module::Terrace>()) {
    points = terrace->GetControlPointCount();
    needed = kTerraceMinPoints;
  }
  if (points < needed) {
    *why = std::string(name()) + " needs at least " + std::to_string(needed) +
           " control points, has " + std::to_string(points);
    return true;
  }
  return false;
}

bool Node::Evaluable(std::string* why) const {
  // Depth-first without recursion, so that a deep graph is refused rather
  // than overflowing the stack: each node's depth is the longest path below.
  struct Frame {
    const Node* node;
    std::size_t next;  // the next source to visit
  };
  std::unordered_map<const Node*, int> depth;
  std::vector<Frame> stack{{this, 0}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const Node* node = frame.node;
    if (frame.next == 0 && node->Incomplete(why)) return false;
    if (frame.next < node->m_sources.size()) {
      const Node* source = node->m_sources[frame.next++];
      if (depth.count(source) == 0) stack.push_back({source, 0});
      continue;
    }
    int deepest = 0;
    for (const Node* source : node->m_sources) deepest = std::max(deepest, depth[source]);
    depth[node] = deepest + 1;
    if (deepest + 1 > kMaxGraphDepth) {
      *why = std::string("the graph of ") + name() + " is deeper than " +
             std::to_string(kMaxGraphDepth) + " modules";
      return false;
    }
    stack.pop_back();
  }
  return true;
}

namespace {

// Roughly what libnoise's GetValue of the node alone costs, in calls of a
// module that does next to nothing: fractal generators pay per octave.
double PointCost(const Node& node) {
  using namespace noise::module;
  switch (node.kind()) {
    case Kind::kBillow:
      return node.As<Billow>() ? 8.0 * node.As<Billow>()->GetOctaveCount() : 48.0;
    case Kind::kPerlin:
      return node.As<Perlin>() ? 8.0 * node.As<Perlin>()->GetOctaveCount() : 48.0;
    case Kind::kRidgedMulti:
      return node.As<RidgedMulti>() ? 8.0 * node.As<RidgedMulti>()->GetOctaveCount() : 48.0;
    case Kind::kTurbulence:
      return node.As<Turbulence>() ? 24.0 * node.As<Turbulence>()->GetRoughnessCount() : 72.0;
    case Kind::kVoronoi:
      return 40.0;
    default:
      return 1.0;
  }
}

// What the batch path adds for each node it evaluates at one point, and
// once per call, in the same units.
constexpr double kBatchNodeCost = 6.0;
constexpr double kBatchCallCost = 20.0;

}  // namespace

bool Node::PointByLibnoise() const noexcept {
  const std::uint64_t generation = GraphGeneration();
  const std::uint64_t known = m_pointByLibnoise.load(std::memory_order_relaxed);
  if (known >> 1 == generation) return (known & 1) != 0;
  // libnoise evaluates a node once for every path to it from here (the
  // cost of a node is its own and its sources'), the batch path once.
  bool libnoise = true;
  try {
    std::unordered_map<const Node*, double> below;
    std::vector<std::pair<const Node*, bool>> stack{{this, false}};
    double batch = kBatchCallCost;
    while (!stack.empty()) {
      const auto [node, sourcesDone] = stack.back();
      stack.pop_back();
      if (sourcesDone) {
        // In a graph without cycles every source is done by now.
        double cost = PointCost(*node);
        for (const Node* source : node->m_sources) {
          if (source != nullptr) cost += below[source];
        }
        below[node] = cost;
        continue;
      }
      if (!below.emplace(node, 0.0).second) continue;
      batch += PointCost(*node) + kBatchNodeCost;
      stack.push_back({node, true});
      for (const Node* source : node->m_sources) {
        if (source != nullptr && below.count(source) == 0) stack.push_back({source, false});
      }
    }
    libnoise = below[this] <= batch;
  } catch (const std::bad_alloc&) {
    return true;  // libnoise's own GetValue, as for any graph
  }
  m_pointByLibnoise.store(generation << 1 | (libnoise ? 1 : 0), std::memory_order_relaxed);
  return libnoise;
}

void Node::GetValues(const double* x, const double* y, const double* z, std::size_t count,
                     double* out) const {
  // A single point (calc, the models) goes through libnoise's own call,
  // unless libnoise would evaluate nodes read twice or more so often that
  // the batch path, which evaluates each once, costs less.
  if (count == 1 && PointByLibnoise()) {
    *out = m_module->GetValue(*x, *y, *z);
    return;
  }
  batch::Evaluate(*this, x, y, z, count, out);
}

}  // namespace noisebind::objects
