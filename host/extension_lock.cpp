#include "host/extension_lock.h"

#include <linux/membarrier.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <mutex>
#include <thread>

#if defined(__SANITIZE_THREAD__)
#define VESSA_UNBIASED_LOCK 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VESSA_UNBIASED_LOCK 1
#endif
#endif

namespace vessa {
namespace {

constexpr std::uintptr_t kNoOwner = 0;
constexpr std::uintptr_t kRevoked = 1;

std::mutex g_mutex;

long Membarrier(int command) {
  return syscall(SYS_membarrier, command, 0);
}

// The bias needs the expedited barrier, registered before the first biased
// entry so that revoking can never fail.
bool CanBias() {
#ifdef VESSA_UNBIASED_LOCK
  return false;
#else
  const long commands = Membarrier(MEMBARRIER_CMD_QUERY);
  return commands > 0 && (commands & MEMBARRIER_CMD_PRIVATE_EXPEDITED) != 0 &&
         Membarrier(MEMBARRIER_CMD_REGISTER_PRIVATE_EXPEDITED) == 0;
#endif
}

}  // namespace

std::atomic<std::uintptr_t> ExtensionLock::s_owner{kNoOwner};
std::atomic<bool> ExtensionLock::s_ownerInside{false};
std::atomic<std::uintptr_t> ExtensionLock::s_holder{0};
std::atomic<std::uintptr_t> ExtensionLock::s_biasedTo{0};

bool ExtensionLock::Biased() {
  const std::uintptr_t owner = s_owner.load(std::memory_order_relaxed);
  return owner != kNoOwner && owner != kRevoked;
}

bool ExtensionLock::EnterLocked(std::uintptr_t self) {
  // Inside already: by the mutex, or by the bias (which another thread may
  // be revoking, waiting for this one to leave).
  if (s_holder.load(std::memory_order_relaxed) == self ||
      (s_biasedTo.load(std::memory_order_relaxed) == self &&
       s_ownerInside.load(std::memory_order_relaxed))) {
    return false;
  }
  g_mutex.lock();
  s_holder.store(self, std::memory_order_relaxed);
  const std::uintptr_t owner = s_owner.load(std::memory_order_relaxed);
  if (owner == kNoOwner) {
    // The first entry: later entries of this thread go without the mutex.
    const bool bias = CanBias();
    if (bias) {
      s_biasedTo.store(self, std::memory_order_relaxed);
      // Inside from now on, as a biased entry would be: an entry nested in
      // this one finds the flag and is refused.
      s_ownerInside.store(true, std::memory_order_relaxed);
    }
    s_owner.store(bias ? self : kRevoked, std::memory_order_relaxed);
  } else if (owner != kRevoked && owner != self) {
    s_owner.store(kRevoked, std::memory_order_relaxed);
    // After the barrier, the biased thread either sees the bias gone at its
    // next entry, or its flag shows here that it is inside: wait for it.
    Membarrier(MEMBARRIER_CMD_PRIVATE_EXPEDITED);
    while (s_ownerInside.load(std::memory_order_acquire)) std::this_thread::yield();
  }
  return true;
}

void ExtensionLock::LeaveLocked() {
  // The first entry, which biased the lock, leaves as a biased one would.
  if (s_biasedTo.load(std::memory_order_relaxed) == ThisThread() &&
      s_ownerInside.load(std::memory_order_relaxed)) {
    s_ownerInside.store(false, std::memory_order_release);
  }
  s_holder.store(0, std::memory_order_relaxed);
  g_mutex.unlock();
}

}  // namespace vessa
