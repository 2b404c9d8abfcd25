#pragma once

#include <chrono>
#include <thread>

// Polls `condition` every millisecond until it holds or `bound` has passed, and returns its last
// answer. The bound only keeps a broken build from hanging: tests wait for what they need, never
// for a time they rely on. Runs no event loop; a test that needs Qt's events processed meanwhile
// polls with QTest::qWaitFor instead.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds bound = std::chrono::seconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return condition();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
