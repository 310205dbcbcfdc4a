// Calls to other processes with a bounded time: each has its own time-out, and while a thread
// holds a CallDeadline (a component going away, the process shutting down) all its calls end
// by that deadline together, so that a peer or a name server that hangs cannot hold the
// process up for a time-out per call. The deadline also covers calls into this process's
// own servants made on that thread, which may call on further.
#pragma once

#include <omniORB4/CORBA.h>

#include <chrono>

namespace RTC {

class CallDeadline {
 public:
  using Clock = std::chrono::steady_clock;
  // From now on this thread's calls end by `deadline` (or by an earlier one already held).
  explicit CallDeadline(Clock::time_point deadline);
  // Gives back the deadline held before.
  ~CallDeadline();
  CallDeadline(const CallDeadline&) = delete;
  CallDeadline& operator=(const CallDeadline&) = delete;

 private:
  Clock::time_point previous_;
};

// Prepares a call on `peer` from this thread: its time-out becomes `timeout_ms` (0: none),
// shortened to what is left of the thread's deadline. False when the deadline has passed:
// the call is not to be made.
bool boundCallTime(CORBA::Object_ptr peer, unsigned long timeout_ms);

}  // namespace RTC
