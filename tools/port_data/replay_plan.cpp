#include "replay_plan.h"

#include <algorithm>

namespace port_data {

namespace {
constexpr double kSecondsPerNanosecond = 1e-9;
}

ReplayPlan::ReplayPlan(std::map<std::uint16_t, ChannelRole> roles, double rate, double start_s)
    : roles_(std::move(roles)), rate_(rate), anchorWall_s_(start_s) {}

ChannelRole ReplayPlan::roleOf(std::uint16_t channel) const {
  auto found = roles_.find(channel);
  return found == roles_.end() ? ChannelRole::Ignore : found->second;
}

void ReplayPlan::anchor(double wall_s, std::uint64_t recorded_ns) {
  anchorWall_s_ = wall_s;
  anchorRecorded_ns_ = recorded_ns;
}

void ReplayPlan::expect(std::uint16_t channel, std::uint64_t recorded_ns) {
  if (!anchorRecorded_ns_) anchorRecorded_ns_ = recorded_ns;
  std::uint64_t index = expected_[channel]++;
  if (!givenUp(channel)) pending_.push_back({channel, index, recorded_ns});
}

void ReplayPlan::settle(const TargetActivity& target) {
  for (auto it = pending_.begin(); it != pending_.end();) {
    if (givenUp(it->channel)) {
      it = pending_.erase(it);
    } else if (target.count(it->channel) > it->index) {
      anchor(target.timeOf(it->channel, it->index), it->recorded_ns);
      it = pending_.erase(it);
    } else {
      ++it;
    }
  }
}

ReplayStep ReplayPlan::next(std::uint64_t recorded_ns, double now_s, const TargetActivity& target) {
  if (!anchorRecorded_ns_) anchorRecorded_ns_ = recorded_ns;
  settle(target);
  bool targetAhead = false;
  for (const auto& [channel, role] : roles_) {
    if (role == ChannelRole::Serve && !givenUp(channel) &&
        target.count(channel) > expected(channel)) {
      targetAhead = true;
    }
  }
  if (targetAhead) {
    // Waiting in a later call, the target cannot do what is still pending here.
    skipped_ += pending_.size();
    pending_.clear();
    return {ReplayStep::Action::Write};
  }
  if (!pending_.empty()) {
    const Expectation& first = pending_.front();
    return {ReplayStep::Action::WaitForTarget, 0, first.channel, first.index + 1};
  }
  const double due_s = anchorWall_s_ + (static_cast<double>(recorded_ns) -
                                        static_cast<double>(*anchorRecorded_ns_)) *
                                           kSecondsPerNanosecond / rate_;
  if (now_s >= due_s) return {ReplayStep::Action::Write};
  return {ReplayStep::Action::WaitUntil, due_s};
}

void ReplayPlan::giveUp(std::uint16_t channel) {
  givenUp_[channel] = true;
  pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                [channel](const Expectation& e) { return e.channel == channel; }),
                 pending_.end());
}

bool ReplayPlan::givenUp(std::uint16_t channel) const {
  auto found = givenUp_.find(channel);
  return found != givenUp_.end() && found->second;
}

std::uint64_t ReplayPlan::expected(std::uint16_t channel) const {
  auto found = expected_.find(channel);
  return found == expected_.end() ? 0 : found->second;
}

}  // namespace port_data
