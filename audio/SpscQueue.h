#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <type_traits>

// A queue of up to N records from one producer thread to one consumer thread, without locks or
// allocation: a ring of N slots with a read and a write count. A push into a full queue is
// refused.
template <typename T, size_t N>
class SpscQueue {
  static_assert(std::is_trivially_copyable_v<T>, "records are copied as plain bytes");
  static_assert(std::atomic<size_t>::is_always_lock_free);

 public:
  // Producer thread only. False, with nothing queued, when the queue is full.
  bool push(const T& value) noexcept {
    const size_t written = written_.load(std::memory_order_relaxed);
    if (written - read_.load(std::memory_order_acquire) == N) return false;
    slots_[written % N] = value;
    written_.store(written + 1, std::memory_order_release);
    return true;
  }

  // Consumer thread only: the oldest record, or null when the queue is empty. It stays valid
  // until pop().
  const T* front() const noexcept {
    const size_t read = read_.load(std::memory_order_relaxed);
    return read == written_.load(std::memory_order_acquire) ? nullptr : &slots_[read % N];
  }

  // Consumer thread only, after a front() that gave a record: takes it off the queue.
  void pop() noexcept {
    read_.store(read_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
  }

 private:
  std::array<T, N> slots_{};
  std::atomic<size_t> read_{0};
  std::atomic<size_t> written_{0};
};
