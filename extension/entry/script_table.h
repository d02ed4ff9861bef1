// Ordered lists of script functions: each script table's file ends with one,
// and the registration walks them, so the order of keys is stated once.
#ifndef NOISEBIND_ENTRY_SCRIPT_TABLE_H
#define NOISEBIND_ENTRY_SCRIPT_TABLE_H

#include <cstddef>

#include "entry/host_interface.h"

namespace noisebind {

struct ScriptEntry {
  const char* key;
  ScriptFunction function;
};

struct ScriptTable {
  const ScriptEntry* entries;
  std::size_t count;
  const ScriptEntry* begin() const { return entries; }
  const ScriptEntry* end() const { return entries + count; }
};

template <std::size_t N>
constexpr ScriptTable MakeScriptTable(const ScriptEntry (&entries)[N]) {
  return ScriptTable{entries, N};
}

// The key of a script function is the name of its C++ function.
#define NOISEBIND_ENTRY(function) \
  ::noisebind::ScriptEntry {      \
#function, function           \
  }

}  // namespace noisebind

#endif  // NOISEBIND_ENTRY_SCRIPT_TABLE_H
