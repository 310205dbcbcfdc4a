#pragma once
// Waiting on a condition with a deadline, the one way cross-process tests wait for something.
#include <chrono>
#include <thread>

#include "tests/support/child_process.h"

namespace test_support {

// Asks `condition` every `poll` until it holds (true) or `timeout` has passed (false).
template <class Condition>
bool waitUntil(Condition condition, Seconds timeout,
               std::chrono::milliseconds poll = std::chrono::milliseconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::duration_cast<std::chrono::nanoseconds>(timeout);
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(poll);
  }
  return true;
}

}  // namespace test_support
