#pragma once
// The base stops when no velocity command came for its watchdog time (0.5 s), and the planner
// commands once per cycle, every LOOP_TIME (0.5 s as well): a cycle that starts a little late
// would let the watchdog brake the base in the middle of a planned motion. So the cycle's
// command is sent again every `repeatPeriod_s` until the next cycle's, for the hold given with
// it (the period it was planned for and a little grace).
//
// The planner checked the command for that one period only. A cycle later than the hold (a
// loaded machine, more so on a scaled clock) must not let the base drive on under it for
// another watchdog time: once the hold has run out, a stop is sent, once. A planner that hangs
// or dies stops the base through its watchdog as before (the repeats come from the planner's
// own process).
#include <optional>

namespace planner {

struct VelocityCommand {
  double vx_mps = 0.0;
  double va_radps = 0.0;
};

class CommandKeepAlive {
 public:
  explicit CommandKeepAlive(double repeatPeriod_s);

  // The cycle sent `command` at `now_s`; it is repeated until `now_s + hold_s` at most.
  void commanded(const VelocityCommand& command, double now_s, double hold_s);
  // Nothing to repeat until the next command (deactivation).
  void clear();
  // The command to send at `now_s`, if one is due: the cycle's command again while the hold
  // lasts, a stop once it has run out (then nothing until the next command).
  std::optional<VelocityCommand> repeatDue(double now_s);

 private:
  const double repeatPeriod_s_;
  double hold_s_ = 0.0;
  std::optional<VelocityCommand> command_;
  double commandedAt_s_ = 0.0;
  double sentAt_s_ = 0.0;
};

}  // namespace planner
