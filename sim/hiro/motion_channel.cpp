#include "motion_channel.h"

#include <algorithm>

namespace hirosim {
namespace {
// Sums of control periods miss a segment's end by rounding; this much short counts as there.
constexpr double kTimeEpsilon_s = 1e-9;
}  // namespace

std::uint64_t MotionChannel::push(const JointSegment& segment) {
  queue_.push_back(Running{segment, ++lastTicket_, {}, 0.0, false});
  return lastTicket_;
}

void MotionChannel::clear() {
  if (queue_.empty()) return;
  droppedRanges_.emplace_back(queue_.front().ticket, queue_.back().ticket);
  queue_.clear();
}

JointMask MotionChannel::activeMask() const {
  return queue_.empty() ? JointMask() : queue_.front().segment.mask;
}

TicketState MotionChannel::ticketState(std::uint64_t ticket) const {
  for (const auto& [first, last] : droppedRanges_) {
    if (ticket >= first && ticket <= last) return TicketState::Dropped;
  }
  return ticket <= lastCompleted_ ? TicketState::Completed : TicketState::Pending;
}

void MotionChannel::advance(double dt_s, JointVector& joints) {
  double remaining_s = dt_s;
  while (!queue_.empty()) {
    Running& running = queue_.front();
    if (!running.started) {
      running.start = joints;
      running.started = true;
    }
    const JointSegment& segment = running.segment;
    running.elapsed_s += remaining_s;
    if (running.elapsed_s < segment.duration_s - kTimeEpsilon_s) {
      const double fraction = running.elapsed_s / segment.duration_s;
      for (int i = 0; i < kJointCount; ++i) {
        if (segment.mask.test(i)) {
          joints[i] = running.start[i] + (segment.target[i] - running.start[i]) * fraction;
        }
      }
      return;
    }
    for (int i = 0; i < kJointCount; ++i) {
      if (segment.mask.test(i)) joints[i] = segment.target[i];
    }
    remaining_s = std::max(0.0, running.elapsed_s - segment.duration_s);
    lastCompleted_ = running.ticket;
    queue_.pop_front();
  }
}

}  // namespace hirosim
