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
//
// No thread waits for itself: an entry by a thread that is inside already
// (Lua code run during an open calling the extension) holds nothing and
// says so, and its caller refuses the call with a Lua error.
#ifndef VESSA_HOST_EXTENSION_LOCK_H
#define VESSA_HOST_EXTENSION_LOCK_H

#include <atomic>
#include <cstdint>

namespace vessa {

class ExtensionLock {
 public:
  // Holds the lock for its lifetime, unless the thread holds it already:
  // Lua code run while it is held (a finalizer, a metamethod of _G during
  // an open) that enters again gets a Scope that holds nothing, and must not
  // go on (held() is false); waiting would never end. Never alive where a
  // Lua error may be raised (a longjmp in PUC Lua would skip its destructor).
  class Scope {
   public:
    Scope() : m_how(Enter()) {}
    ~Scope() { Leave(m_how); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

    bool held() const { return m_how != How::kReentered; }

   private:
    enum class How : unsigned char { kBiased, kLocked, kReentered };
    friend class ExtensionLock;
    How m_how;
  };

  // True while the lock is biased to one thread (for tests).
  static bool Biased();

 private:
  using How = Scope::How;

  static How Enter() {
    const std::uintptr_t self = ThisThread();
    if (s_owner.load(std::memory_order_relaxed) == self) {
      // Only the biased thread sets the flag: finding it set, it is inside.
      if (s_ownerInside.load(std::memory_order_relaxed)) return How::kReentered;
      s_ownerInside.store(true, std::memory_order_relaxed);
      // The flag is stored before the owner is read again; the revoking
      // thread's barrier makes this order visible to it.
      std::atomic_signal_fence(std::memory_order_seq_cst);
      if (s_owner.load(std::memory_order_relaxed) == self) return How::kBiased;
      s_ownerInside.store(false, std::memory_order_release);
    }
    return EnterLocked(self) ? How::kLocked : How::kReentered;
  }

  static void Leave(How how) {
    if (how == How::kBiased) {
      s_ownerInside.store(false, std::memory_order_release);
    } else if (how == How::kLocked) {
      LeaveLocked();
    }
  }

  // Unique among running threads, never 0 or 1.
  static std::uintptr_t ThisThread() {
    return reinterpret_cast<std::uintptr_t>(__builtin_thread_pointer());
  }

  // False, taking nothing, when this thread holds the mutex already.
  [[gnu::cold]] static bool EnterLocked(std::uintptr_t self);
  static void LeaveLocked();

  // The thread the lock is biased to; 0 before the first entry, kRevoked
  // once the bias is gone.
  static std::atomic<std::uintptr_t> s_owner;
  // True while the biased thread is inside.
  static std::atomic<bool> s_ownerInside;
  // The thread that holds the mutex, 0 when none: a thread reads its own
  // value only while it holds it (it clears it before unlocking).
  static std::atomic<std::uintptr_t> s_holder;
  // The thread the lock was ever biased to, 0 if none; kept after revoking.
  static std::atomic<std::uintptr_t> s_biasedTo;
};

}  // namespace vessa

#endif  // VESSA_HOST_EXTENSION_LOCK_H
