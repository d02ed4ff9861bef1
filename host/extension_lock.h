// Extensions keep process-wide state and take no locks, while the programs
// that embed Lua may run a state on each of several threads. Every entry into
// an extension (its open and close, each call of a script function, a batch
// of calls made for a map) therefore holds this one process-wide lock.
//
// Calls are made per point, millions of times a second, so the lock is
// biased: while a single thread has ever entered, its entries take no atomic
// read-modify-write, only a flag in memory. The first entry from another
// thread revokes the bias once, with a process-wide memory barrier
// (membarrier), waits for the biased thread to leave, and from then on every
// entry takes the mutex. Where membarrier is missing, and in builds for
// ThreadSanitizer (which cannot see that barrier), every entry takes the mutex.
#ifndef VESSA_HOST_EXTENSION_LOCK_H
#define VESSA_HOST_EXTENSION_LOCK_H

#include <atomic>
#include <cstdint>

namespace vessa {

class ExtensionLock {
 public:
  // Holds the lock for its lifetime. Never alive where a Lua error may be
  // raised (a longjmp in PUC Lua would skip its destructor).
  class Scope {
   public:
    Scope() : m_biased(Enter()) {}
    ~Scope() { Leave(m_biased); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    bool m_biased;
  };

  // True while the lock is biased to one thread (for tests).
  static bool Biased();

 private:
  static bool Enter() {
    const std::uintptr_t self = ThisThread();
    if (s_owner.load(std::memory_order_relaxed) == self) {
      s_ownerInside.store(true, std::memory_order_relaxed);
      // The flag is stored before the owner is read again; the revoking
      // thread's barrier makes this order visible to it.
      std::atomic_signal_fence(std::memory_order_seq_cst);
      if (s_owner.load(std::memory_order_relaxed) == self) return true;
      s_ownerInside.store(false, std::memory_order_release);
    }
    EnterLocked(self);
    return false;
  }

  static void Leave(bool biased) {
    if (biased) {
      s_ownerInside.store(false, std::memory_order_release);
    } else {
      LeaveLocked();
    }
  }

  // Unique among running threads, never 0 or 1.
  static std::uintptr_t ThisThread() {
    return reinterpret_cast<std::uintptr_t>(__builtin_thread_pointer());
  }

  [[gnu::cold]] static void EnterLocked(std::uintptr_t self);
  static void LeaveLocked();

  // The thread the lock is biased to; 0 before the first entry, kRevoked
  // once the bias is gone.
  static std::atomic<std::uintptr_t> s_owner;
  // True while the biased thread is inside.
  static std::atomic<bool> s_ownerInside;
};

}  // namespace vessa

#endif  // VESSA_HOST_EXTENSION_LOCK_H
