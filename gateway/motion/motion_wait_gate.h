#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>

// Lets the gateway's waits for the end of a motion give way. A call that waits polls the
// controller and pauses on the gate between polls. A deactivation releases the waits then in
// progress (a call that starts afterwards waits as before: the gateway serves while inactive
// too); a shutdown releases every wait, now and later. Either way the pause ends at once, so a
// wait gives way within one controller poll.
//
//   const MotionWaitGate::Entry entry = gate.enter();
//   while (armIsBusy()) {
//     if (gate.pause(entry, kPollPeriod)) return kWaitGivenUp;
//   }
//
// Safe to use from any number of threads.
class MotionWaitGate {
 public:
  // Which releases a wait answers to: those after its entry.
  using Entry = std::uint64_t;

  // Why a wait gave way.
  enum class Release { Deactivated, ShutDown };

  MotionWaitGate() = default;
  MotionWaitGate(const MotionWaitGate&) = delete;
  MotionWaitGate& operator=(const MotionWaitGate&) = delete;

  Entry enter() const;

  // Sleeps for `period` unless released. Nothing when the wait goes on; why it must give way
  // when it was released since `entry` or the gate is shut down.
  std::optional<Release> pause(Entry entry, std::chrono::milliseconds period);

  // The waits in progress give way.
  void releaseWaits();
  // Every wait gives way, now and from now on.
  void shutDown();

 private:
  bool released(Entry entry) const { return shutDown_ || releases_ != entry; }

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  Entry releases_ = 0;
  bool shutDown_ = false;
};
