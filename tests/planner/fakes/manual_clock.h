#pragma once

#include <cstdint>

#include <planner/planner_clock.h>

namespace planner::fakes {

// The planner's clock in tests: time moves only when the planner sleeps or the test says so.
class ManualClock : public MillisecondClock {
 public:
  std::uint32_t now_ms() override { return now; }
  void sleepOneMillisecond() override { ++now; }

  std::uint32_t now = 1000;
};

}  // namespace planner::fakes
