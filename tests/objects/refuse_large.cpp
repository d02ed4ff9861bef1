#include "refuse_large.h"

#include <cstdlib>
#include <new>

namespace {

std::size_t g_large = 0;
long g_allowed = -1;

}  // namespace

namespace noisebind::testing {

RefuseLarge::RefuseLarge(std::size_t size, long allowed) {
  g_large = size;
  g_allowed = allowed;
}

RefuseLarge::~RefuseLarge() {
  g_allowed = -1;
}

}  // namespace noisebind::testing

void* operator new(std::size_t size) {
  if (size >= g_large && g_allowed >= 0 && g_allowed-- == 0) throw std::bad_alloc();
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}
