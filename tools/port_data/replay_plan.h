#pragma once
// When a replay writes each recorded sample.
//
// Samples go out at the recorded pace (or `rate` times it), but never ahead of what the
// components being replayed into have done: a recording also holds their outputs (Follow
// channels) and the service calls they made (Serve channels, answered from the recording),
// and a sample recorded after one of those is written only once the target has done it too,
// paced from the moment it did. So a planner replayed into gets its odometry after the map
// request that came before it in the recording, and a word after the command that came before
// it, whatever the machine's load: the replay follows the target's own clock.
//
// A target that is ahead (it already made a call recorded later) gets the samples recorded
// before that call at once: it consumed them before that call in the recording, and it waits
// inside the call until they are written. A target that does not do what the recording has
// within the replay's patience is given up on for that channel (giveUp) and the replay goes on
// at the recorded pace.
#include <cstdint>
#include <deque>
#include <map>
#include <optional>

namespace port_data {

enum class ChannelRole {
  Write,   // samples written into in-ports
  Follow,  // outputs of a component being replayed into: waited for and compared
  Serve,   // service replies: answered when the target calls
  Ignore
};

// What the components being replayed into have done so far, as rtctl sees it.
class TargetActivity {
 public:
  virtual ~TargetActivity() = default;
  // Samples (Follow) or calls (Serve) seen on the channel so far.
  virtual std::uint64_t count(std::uint16_t channel) const = 0;
  // When the index-th of them came, on the replay's clock (seconds).
  virtual double timeOf(std::uint16_t channel, std::uint64_t index) const = 0;
};

struct ReplayStep {
  enum class Action { Write, WaitUntil, WaitForTarget };
  Action action = Action::Write;
  double until_s = 0;         // WaitUntil: the time to write at
  std::uint16_t channel = 0;  // WaitForTarget: the channel
  std::uint64_t count = 0;    // and the count it has to reach
};

class ReplayPlan {
 public:
  // rate: recorded seconds per replayed second; start_s: now on the replay's clock.
  ReplayPlan(std::map<std::uint16_t, ChannelRole> roles, double rate, double start_s);

  ChannelRole roleOf(std::uint16_t channel) const;

  // A recorded event of a Follow or Serve channel has been read: the target is expected to
  // do the same before the samples recorded after it are written.
  void expect(std::uint16_t channel, std::uint64_t recorded_ns);
  // What to do about the next Write sample, recorded at recorded_ns. After a wait, ask again.
  ReplayStep next(std::uint64_t recorded_ns, double now_s, const TargetActivity& target);
  // No more waiting for that channel.
  void giveUp(std::uint16_t channel);
  bool givenUp(std::uint16_t channel) const;
  // The recorded events of the channel read so far.
  std::uint64_t expected(std::uint16_t channel) const;
  // Follow events the target skipped: it went on to a later call without them.
  std::uint64_t skipped() const { return skipped_; }

 private:
  struct Expectation {
    std::uint16_t channel;
    std::uint64_t index;
    std::uint64_t recorded_ns;
  };
  void anchor(double wall_s, std::uint64_t recorded_ns);
  void settle(const TargetActivity& target);

  std::map<std::uint16_t, ChannelRole> roles_;
  double rate_;
  double anchorWall_s_;
  std::optional<std::uint64_t> anchorRecorded_ns_;
  std::map<std::uint16_t, std::uint64_t> expected_;
  std::map<std::uint16_t, bool> givenUp_;
  std::deque<Expectation> pending_;
  std::uint64_t skipped_ = 0;
};

}  // namespace port_data
