#pragma once
// One motion queue of the controller (sequence player, one arm control, the grasper):
// segments run one after the other, each moving its joints linearly from where they were
// when it began to its target in its duration.

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "joint_layout.h"

namespace hirosim {

struct JointSegment {
  JointVector target{};
  JointMask mask;  // joints this segment moves; the others are left alone
  double duration_s = 0.0;
};

enum class TicketState { Pending, Completed, Dropped };

class MotionChannel {
 public:
  // Queues a segment; returns its ticket for ticketState().
  std::uint64_t push(const JointSegment& segment);

  // Drops every queued segment; the joints stay where they are.
  void clear();

  bool empty() const { return queue_.empty(); }

  // Joints moved by the running segment (none when idle).
  JointMask activeMask() const;

  TicketState ticketState(std::uint64_t ticket) const;

  // Moves the joints on by dt_s of simulated time; time left over when a segment ends goes
  // to the next one.
  void advance(double dt_s, JointVector& joints);

 private:
  struct Running {
    JointSegment segment;
    std::uint64_t ticket = 0;
    JointVector start{};
    double elapsed_s = 0.0;
    bool started = false;
  };

  std::deque<Running> queue_;
  std::uint64_t lastTicket_ = 0;
  std::uint64_t lastCompleted_ = 0;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> droppedRanges_;  // first, last
};

}  // namespace hirosim
