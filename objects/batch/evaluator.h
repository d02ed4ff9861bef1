// The machinery shared by the batch evaluation of every node kind: scratch
// arrays, and the walk from a node to its sources. Internal to objects/batch.
#ifndef NOISEBIND_OBJECTS_BATCH_EVALUATOR_H
#define NOISEBIND_OBJECTS_BATCH_EVALUATOR_H

#include <array>
#include <cstddef>
#include <memory>
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

// One evaluation of one graph on one thread.
class Evaluator {
 public:
  // out[i] = node's value at point i, for a block of at most kBlockSize
  // points; `out` must not overlap the coordinates.
  void Run(const Node& node, const Points& points, double* out);

  // The same for the node's source at `index`.
  void Source(const Node& node, int index, const Points& points, double* out) {
    Run(*node.source(index), points, out);
  }

  Scratch& scratch() { return m_scratch; }

 private:
  Scratch m_scratch;
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
