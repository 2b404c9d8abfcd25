#pragma once

#include <array>
#include <atomic>
#include <type_traits>

// Hands the newest value of a record from one producer thread to one consumer thread without
// locks or allocation. Three slots: the producer owns one, the consumer owns one, and the third
// sits in the middle. write() fills the producer's slot and swaps it into the middle; read()
// swaps the middle slot out when it holds something new. Values written between two reads are
// dropped except the newest, which is what parameter records need.
template <typename T>
class TripleBuffer {
  static_assert(std::is_trivially_copyable_v<T>, "records are copied as plain bytes");

 public:
  // Producer thread only.
  void write(const T& value) noexcept {
    slots_[back_] = value;
    const int previous = middle_.exchange(back_ | kFresh, std::memory_order_acq_rel);
    back_ = previous & kIndexMask;
  }

  // Consumer thread only. Copies the newest value into `out` and returns true if one was
  // written since the last read; otherwise leaves `out` alone and returns false.
  bool read(T& out) noexcept {
    if ((middle_.load(std::memory_order_relaxed) & kFresh) == 0) return false;
    const int previous = middle_.exchange(front_, std::memory_order_acq_rel);
    front_ = previous & kIndexMask;
    out = slots_[front_];
    return true;
  }

 private:
  static constexpr int kIndexMask = 3;
  static constexpr int kFresh = 4;  // set in middle_ when the middle slot holds an unread value

  std::array<T, 3> slots_{};
  int back_ = 0;                // producer's slot
  std::atomic<int> middle_{1};  // the middle slot's index, plus kFresh
  int front_ = 2;               // consumer's slot
};
