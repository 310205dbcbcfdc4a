#include "motion_channel.h"

#include <gtest/gtest.h>

namespace hirosim {
namespace {

JointSegment moveJoint(int index, double target, double duration_s) {
  JointSegment segment;
  segment.target[index] = target;
  segment.mask.set(index);
  segment.duration_s = duration_s;
  return segment;
}

TEST(MotionChannel, segmentStartsFromWhereTheJointsAreWhenItBegins) {
  MotionChannel channel;
  JointVector joints{};
  channel.push(moveJoint(0, 1.0, 1.0));
  channel.push(moveJoint(0, 0.0, 2.0));
  channel.advance(1.0, joints);
  EXPECT_DOUBLE_EQ(joints[0], 1.0);
  channel.advance(1.0, joints);
  EXPECT_DOUBLE_EQ(joints[0], 0.5);
}

TEST(MotionChannel, leftOverTimeGoesToTheNextSegment) {
  MotionChannel channel;
  JointVector joints{};
  const auto first = channel.push(moveJoint(2, 1.0, 0.5));
  const auto second = channel.push(moveJoint(2, 2.0, 1.0));
  channel.advance(1.0, joints);
  EXPECT_DOUBLE_EQ(joints[2], 1.5);
  EXPECT_EQ(channel.ticketState(first), TicketState::Completed);
  EXPECT_EQ(channel.ticketState(second), TicketState::Pending);
}

TEST(MotionChannel, jointsOutsideTheMaskStayPut) {
  MotionChannel channel;
  JointVector joints{};
  joints[5] = 0.7;
  channel.push(moveJoint(4, 1.0, 1.0));
  channel.advance(2.0, joints);
  EXPECT_DOUBLE_EQ(joints[5], 0.7);
  EXPECT_TRUE(channel.empty());
}

TEST(MotionChannel, zeroDurationSegmentJumpsToItsTarget) {
  MotionChannel channel;
  JointVector joints{};
  channel.push(moveJoint(1, -0.4, 0.0));
  channel.advance(0.005, joints);
  EXPECT_DOUBLE_EQ(joints[1], -0.4);
}

TEST(MotionChannel, clearedSegmentsAreDroppedAndLaterOnesStillComplete) {
  MotionChannel channel;
  JointVector joints{};
  const auto done = channel.push(moveJoint(0, 1.0, 0.1));
  const auto dropped = channel.push(moveJoint(0, 2.0, 1.0));
  channel.advance(0.5, joints);
  channel.clear();
  const double halted = joints[0];
  channel.advance(1.0, joints);
  EXPECT_DOUBLE_EQ(joints[0], halted);
  EXPECT_EQ(channel.ticketState(done), TicketState::Completed);
  EXPECT_EQ(channel.ticketState(dropped), TicketState::Dropped);

  const auto later = channel.push(moveJoint(0, 0.0, 0.1));
  channel.advance(0.2, joints);
  EXPECT_EQ(channel.ticketState(later), TicketState::Completed);
  EXPECT_EQ(channel.ticketState(dropped), TicketState::Dropped);
}

}  // namespace
}  // namespace hirosim
