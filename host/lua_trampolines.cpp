#include "host/lua_trampolines.h"

#include <array>
#include <cstddef>
#include <utility>

#include "host/lua_call.h"

namespace vessa {
namespace {

using noisebind::ScriptFunction;

// Room for the functions of a few extensions; ours has about 75.
constexpr std::size_t kSlots = 256;

// Slots are taken under the ExtensionLock, before their trampolines are
// handed out; after that calls on any thread only read the function and
// learn the count, which is atomic.
CallTarget g_targets[kSlots];
std::size_t g_used = 0;

template <std::size_t slot>
int Trampoline(lua_State* L) {
  return CallScriptFunction(L, g_targets[slot]);
}

template <std::size_t... slot>
constexpr std::array<lua_CFunction, kSlots> MakeTrampolines(std::index_sequence<slot...>) {
  return {{&Trampoline<slot>...}};
}

constexpr std::array<lua_CFunction, kSlots> kTrampolines =
    MakeTrampolines(std::make_index_sequence<kSlots>{});

}  // namespace

lua_CFunction TrampolineFor(ScriptFunction function) {
  for (std::size_t slot = 0; slot < g_used; ++slot) {
    if (g_targets[slot].function == function) return kTrampolines[slot];
  }
  if (g_used == kSlots) return nullptr;
  g_targets[g_used].function = function;
  g_targets[g_used].arguments.store(0, std::memory_order_relaxed);
  return kTrampolines[g_used++];
}

bool IsTrampoline(lua_CFunction function) {
  for (const lua_CFunction trampoline : kTrampolines) {
    if (trampoline == function) return true;
  }
  return false;
}

}  // namespace vessa
