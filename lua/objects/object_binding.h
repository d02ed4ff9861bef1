// What the files of the noise-object binding share: the userdata, the self
// check, and errors. Every function here may raise a Lua error, so none may
// be called while a C++ object with a destructor is alive in the caller.
#ifndef NOISEBIND_OBJECTS_OBJECT_BINDING_H
#define NOISEBIND_OBJECTS_OBJECT_BINDING_H

#include <cstdint>
#include <lua.hpp>

#include "engine/graph/node.h"
#include "host/lua_args.h"
#include "host/lua_compat.h"
#include "host/lua_userdata.h"

namespace noisebind::objects {

// The userdata of a noise object. It owns `node`; the sources of the node
// are kept alive by the user value, a table with the source objects at 1..n.
struct NoiseObject {
  vessa::UserdataGuard guard;
  // The object's own address mixed with a constant: how a method tells its
  // object from other userdata without reaching for the metatable, which
  // costs more than the rest of obj:calc's binding together.
  std::uintptr_t tag;
  Node* node;
  // The graph generation at which the node was last found evaluable.
  std::uint64_t evaluable;
};

inline std::uintptr_t TagOf(const NoiseObject* object) {
  return reinterpret_cast<std::uintptr_t>(object) ^ static_cast<std::uintptr_t>(0x6e6f697365u);
}

// Methods are closures over their class's metatable, the first upvalue.
constexpr int kClassMetatable = lua_upvalueindex(1);

// Pushes a new noise object of `kind` without a node (the caller gives it
// one, which it then owns), its user value a table with room for its
// sources. The metatables must exist (OpenObjectsLibrary ran in the state).
NoiseObject* NewNoiseObject(lua_State* L, Kind kind);

// The noise object at `index`, or null: told by its metatable.
NoiseObject* TestObject(lua_State* L, int index);

// The noise object `self` (argument 1) of a method, whose node exists.
NoiseObject* CheckSelfSlow(lua_State* L);
inline NoiseObject* CheckSelf(lua_State* L) {
  // Of the same length, only a full userdata has an address (strings and
  // tables have none, light userdata no length); holding its own tag, it is
  // one of ours. Where this fails, the metatable decides in the slow path.
  if (vessa::RawLength(L, 1) == sizeof(NoiseObject)) {
    auto* object = static_cast<NoiseObject*>(lua_touserdata(L, 1));
    if (object != nullptr && object->tag == TagOf(object) && object->node != nullptr) {
      return object;
    }
  }
  return CheckSelfSlow(L);
}

// The noise object `self` of a method that belongs to one class only (the
// control points of Curve and Terrace): raises "calling 'addpoint' on bad
// self (Curve expected, got Perlin)" for an object of any other class.
NoiseObject* CheckSelfOf(lua_State* L, Kind kind);

// Raises "Add needs source 2" and the like unless the object's graph can
// be evaluated.
void CheckEvaluableSlow(lua_State* L, NoiseObject* object);
inline const Node& Evaluable(lua_State* L, NoiseObject* object) {
  if (object->evaluable != GraphGeneration()) CheckEvaluableSlow(L, object);
  return *object->node;
}

// Argument `index` as a number, as Lua's own functions take it (numeric
// strings convert): one call into Lua, where a type test and a read are two.
inline double CheckNumber(lua_State* L, int index) {
  return vessa::CheckNumber(L, index);
}

// "%.14g", or "nan" whatever the sign: numbers in messages.
const char* PushNumberText(lua_State* L, double value);

// Registers the methods of every class into `methods` (on top of the
// stack) for the class whose metatable is at `metatable`.
void SetMethods(lua_State* L, int metatable, Kind kind);

// The __index fallback and __newindex of every class (closures over the
// class's metatable), and the reading of a constructor's settings table.
int GetFieldMeta(lua_State* L);
int SetFieldMeta(lua_State* L);
void ApplySettings(lua_State* L, NoiseObject* object, int table);

}  // namespace noisebind::objects

#endif  // NOISEBIND_OBJECTS_OBJECT_BINDING_H
