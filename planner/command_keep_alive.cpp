#include "command_keep_alive.h"

namespace planner {

CommandKeepAlive::CommandKeepAlive(double repeatPeriod_s) : repeatPeriod_s_(repeatPeriod_s) {}

void CommandKeepAlive::commanded(const VelocityCommand& command, double now_s, double hold_s) {
  command_ = command;
  hold_s_ = hold_s;
  commandedAt_s_ = now_s;
  sentAt_s_ = now_s;
}

void CommandKeepAlive::clear() { command_.reset(); }

std::optional<VelocityCommand> CommandKeepAlive::repeatDue(double now_s) {
  if (!command_) return std::nullopt;
  if (now_s - commandedAt_s_ > hold_s_) {
    command_.reset();
    return VelocityCommand{};
  }
  if (now_s - sentAt_s_ < repeatPeriod_s_) return std::nullopt;
  sentAt_s_ = now_s;
  return command_;
}

}  // namespace planner
