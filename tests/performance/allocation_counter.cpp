#include "allocation_counter.h"

#include <cstddef>
#include <cstdlib>
#include <new>

// AddressSanitizer brings its own malloc; replacing it as well would break it.
#if defined(__SANITIZE_ADDRESS__)
#define NOISEBIND_COUNT_MALLOC 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NOISEBIND_COUNT_MALLOC 0
#endif
#endif
#ifndef NOISEBIND_COUNT_MALLOC
#define NOISEBIND_COUNT_MALLOC 1
#endif

namespace {

// One thread calls the extension; the window is closed around everything
// else the test framework does.
bool g_open = false;
long g_count = 0;

void Note() {
  if (g_open) ++g_count;
}

void* Allocate(std::size_t size) {
  Note();
  if (size == 0) size = 1;
  if (void* memory = std::malloc(size)) return memory;
  throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  Note();
  const std::size_t align = static_cast<std::size_t>(alignment);
  // aligned_alloc wants a multiple of the alignment.
  const std::size_t rounded = (size + align - 1) / align * align;
  if (void* memory = std::aligned_alloc(align, rounded == 0 ? align : rounded)) return memory;
  throw std::bad_alloc();
}

}  // namespace

namespace noisebind::testing {

AllocationWindow::AllocationWindow() {
  g_count = 0;
  g_open = true;
}

AllocationWindow::~AllocationWindow() {
  g_open = false;
}

long AllocationWindow::count() const {
  return g_count;
}

bool CountsMalloc() {
  return NOISEBIND_COUNT_MALLOC != 0;
}

}  // namespace noisebind::testing

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment);
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
void operator delete(void* memory, std::align_val_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::align_val_t) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept {
  std::free(memory);
}

#if NOISEBIND_COUNT_MALLOC
// glibc's own allocator under its internal names: what a replacement malloc
// forwards to. Exception objects, for one, come straight from malloc.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);
void __libc_free(void* memory);

void* malloc(std::size_t size) noexcept {
  Note();
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
  Note();
  return __libc_calloc(count, size);
}
void* realloc(void* memory, std::size_t size) noexcept {
  Note();
  return __libc_realloc(memory, size);
}
void free(void* memory) noexcept {
  __libc_free(memory);
}
}
#endif
