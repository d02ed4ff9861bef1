// The node of one libnoise class: the module lives inside the node.
#ifndef NOISEBIND_OBJECTS_MODULE_NODE_H
#define NOISEBIND_OBJECTS_MODULE_NODE_H

#include "engine/graph/node.h"

namespace noisebind::objects {

// libnoise can set a source but not clear one; its source array is
// protected, so a derived class reaches it.
template <class M>
class ClearableModule final : public M {
 public:
  void SetSourcePointer(int index, const noise::module::Module* source) {
    this->m_pSourceModule[index] = source;
  }
};

template <class M>
class ModuleNode final : public Node {
 public:
  // The base keeps the module's address only; its source count is read
  // once the module exists.
  explicit ModuleNode(Kind kind) : Node(kind, &m_held) {
    SetSourceCount(m_held.GetSourceModuleCount());
  }

 private:
  void SetModuleSource(int index, const noise::module::Module* source) override {
    m_held.SetSourcePointer(index, source);
  }

  ClearableModule<M> m_held;
};

}  // namespace noisebind::objects

#endif  // NOISEBIND_OBJECTS_MODULE_NODE_H
