#include "CallDeadline.h"

#include <algorithm>

namespace RTC {
namespace {
thread_local CallDeadline::Clock::time_point t_deadline = CallDeadline::Clock::time_point::max();
}  // namespace

CallDeadline::CallDeadline(Clock::time_point deadline) : previous_(t_deadline) {
  t_deadline = std::min(t_deadline, deadline);
}

CallDeadline::~CallDeadline() { t_deadline = previous_; }

bool boundCallTime(CORBA::Object_ptr peer, unsigned long timeout_ms) {
  if (CORBA::is_nil(peer)) return true;
  if (t_deadline != CallDeadline::Clock::time_point::max()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        t_deadline - CallDeadline::Clock::now());
    if (left.count() <= 0) return false;
    const unsigned long left_ms = static_cast<unsigned long>(left.count());
    timeout_ms = timeout_ms == 0 ? left_ms : std::min(timeout_ms, left_ms);
  }
  if (timeout_ms > 0) omniORB::setClientCallTimeout(peer, timeout_ms);
  return true;
}

}  // namespace RTC
