#include "host/lua_userdata.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <lua.hpp>

#include "host/lua_compat.h"

namespace vessa {
namespace {

// Below this, allocations are left to the collector's own pace.
constexpr std::size_t kCollectorStepBytes = 64 * 1024;

int Allocate(lua_State* L) {
  NewUserdata(L, *static_cast<const std::size_t*>(lua_touserdata(L, 1)));
  return 1;
}

struct MadeBytes {
  char* bytes;
  std::size_t size;
};

int PushMade(lua_State* L) {
  const auto* made = static_cast<const MadeBytes*>(lua_touserdata(L, 1));
  lua_pushlstring(L, made->bytes, made->size);
  return 1;
}

}  // namespace

bool PushMadeString(lua_State* L, MakeBytes make, const void* job, char* reason,
                    std::size_t reasonSize) {
  // What the protected push needs is pushed first, while there is nothing
  // to free if that raises.
  MadeBytes made{nullptr, 0};
  lua_pushcfunction(L, PushMade);
  lua_pushlightuserdata(L, &made);
  if (!make(job, &made.bytes, &made.size, reason, reasonSize)) {
    lua_pop(L, 2);
    return false;
  }
  const int status = lua_pcall(L, 1, 1, 0);
  std::free(made.bytes);
  if (status != LUA_OK) lua_error(L);
  return true;
}

void* NewLargeUserdata(lua_State* L, std::size_t size) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    lua_pushcfunction(L, Allocate);
    lua_pushlightuserdata(L, &size);
    const int status = lua_pcall(L, 1, 1, 0);
    if (status == LUA_OK) {
      PaceCollector(L, size);
      return lua_touserdata(L, -1);
    }
    if (status != LUA_ERRMEM) lua_error(L);
    lua_pop(L, 1);
    lua_gc(L, LUA_GCCOLLECT, 0);
  }
  return nullptr;
}

void* AllocateOutside(lua_State* L, std::size_t size) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory != nullptr) return memory;
    lua_gc(L, LUA_GCCOLLECT, 0);
  }
  return nullptr;
}

void FreeOutside(void* memory) {
  std::free(memory);
}

void PaceCollector(lua_State* L, std::size_t size) {
  if (size >= kCollectorStepBytes) {
    lua_gc(L, LUA_GCSTEP, static_cast<int>(std::min<std::size_t>(size >> 10, INT_MAX)));
  }
}

void* TestUserdata(lua_State* L, int index, int metatable, std::size_t headerSize,
                   std::size_t* size) {
  if (lua_type(L, index) != LUA_TUSERDATA || !lua_getmetatable(L, index)) return nullptr;
  const bool same = lua_rawequal(L, -1, metatable) != 0;
  lua_pop(L, 1);
  if (!same) return nullptr;
  *size = RawLength(L, index);
  return *size >= headerSize ? lua_touserdata(L, index) : nullptr;
}

}  // namespace vessa
