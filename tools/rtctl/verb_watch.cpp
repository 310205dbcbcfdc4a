// rtctl watch [NAMES...]: looks at the live system every interval and prints what changed,
// one time-stamped line each, until Ctrl-C.
#include <chrono>
#include <iostream>
#include <thread>

#include "live_system.h"
#include "system_changes.h"
#include "time_text.h"
#include "verbs.h"

namespace rtctl {

namespace {

// How often the stop flag is looked at while waiting for the next look.
constexpr auto kStopPoll = std::chrono::milliseconds(50);

}  // namespace

int watchCommand(Session& session, const Invocation& invocation) {
  std::optional<WatchSnapshot> previous;
  auto interval = std::chrono::duration<double>(invocation.interval_s);
  while (!stopRequested) {
    auto lookedAt = std::chrono::steady_clock::now();
    WatchSnapshot snapshot;
    try {
      LiveRead live = readLiveSystem(session, invocation.components);
      for (const std::string& name : live.absent) live.problems.erase(name);
      snapshot = snapshotOf(live.components, live.problems);
    } catch (const Failure&) {
      snapshot = previous.value_or(WatchSnapshot{});
      snapshot.nameServerAnswers = false;
    }
    std::string stamp = wallClockText(std::chrono::system_clock::now());
    for (const std::string& line : describeChanges(previous, snapshot)) {
      std::cout << stamp << " " << line << "\n";
    }
    std::cout << std::flush;
    previous = snapshot;
    while (!stopRequested && std::chrono::steady_clock::now() - lookedAt < interval) {
      std::this_thread::sleep_for(kStopPoll);
    }
  }
  return 0;
}

}  // namespace rtctl
