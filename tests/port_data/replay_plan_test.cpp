#include "tools/port_data/replay_plan.h"

#include <gtest/gtest.h>

#include <vector>

namespace port_data {
namespace {

constexpr std::uint16_t kPose = 0;     // written into the target
constexpr std::uint16_t kCommand = 1;  // the target's output
constexpr std::uint16_t kMap = 2;      // the target's service calls
constexpr std::uint64_t kMs = 1000000;

// What the target did: the times of its outputs and calls, per channel.
class FakeTarget : public TargetActivity {
 public:
  std::uint64_t count(std::uint16_t channel) const override { return times[channel].size(); }
  double timeOf(std::uint16_t channel, std::uint64_t index) const override {
    return times[channel][index];
  }
  std::vector<double> times[3];
};

ReplayPlan plan(double rate = 1.0, double start_s = 100.0) {
  return ReplayPlan(
      {{kPose, ChannelRole::Write}, {kCommand, ChannelRole::Follow}, {kMap, ChannelRole::Serve}},
      rate, start_s);
}

TEST(ReplayPlan, samplesGoOutAtTheRecordedPaceFromTheFirst) {
  ReplayPlan replay = plan();
  FakeTarget target;
  EXPECT_EQ(replay.next(5000 * kMs, 100.0, target).action, ReplayStep::Action::Write);
  ReplayStep step = replay.next(5500 * kMs, 100.1, target);
  ASSERT_EQ(step.action, ReplayStep::Action::WaitUntil);
  EXPECT_DOUBLE_EQ(step.until_s, 100.5);
  EXPECT_EQ(replay.next(5500 * kMs, 100.5, target).action, ReplayStep::Action::Write);
}

TEST(ReplayPlan, aRateOfTenGoesTenTimesFaster) {
  ReplayPlan replay = plan(10.0);
  FakeTarget target;
  replay.next(0, 100.0, target);
  ReplayStep step = replay.next(1000 * kMs, 100.0, target);
  ASSERT_EQ(step.action, ReplayStep::Action::WaitUntil);
  EXPECT_DOUBLE_EQ(step.until_s, 100.1);
}

TEST(ReplayPlan, aSampleAfterARecordedCallWaitsForTheTargetsCallAndKeepsItsGap) {
  ReplayPlan replay = plan();
  FakeTarget target;
  replay.expect(kMap, 1000 * kMs);
  ReplayStep step = replay.next(1020 * kMs, 100.0, target);
  ASSERT_EQ(step.action, ReplayStep::Action::WaitForTarget);
  EXPECT_EQ(step.channel, kMap);
  EXPECT_EQ(step.count, 1u);
  // The target calls much later than the recording did: the pose follows 20 ms after it.
  target.times[kMap].push_back(130.0);
  step = replay.next(1020 * kMs, 130.001, target);
  ASSERT_EQ(step.action, ReplayStep::Action::WaitUntil);
  EXPECT_DOUBLE_EQ(step.until_s, 130.02);
}

TEST(ReplayPlan, aWordAfterARecordedCommandWaitsForTheTargetsCommand) {
  ReplayPlan replay = plan();
  FakeTarget target;
  replay.expect(kCommand, 0);
  replay.expect(kCommand, 500 * kMs);
  target.times[kCommand].push_back(100.0);
  ReplayStep step = replay.next(600 * kMs, 100.2, target);
  ASSERT_EQ(step.action, ReplayStep::Action::WaitForTarget);
  EXPECT_EQ(step.channel, kCommand);
  EXPECT_EQ(step.count, 2u);
  target.times[kCommand].push_back(100.7);
  step = replay.next(600 * kMs, 100.7, target);
  ASSERT_EQ(step.action, ReplayStep::Action::WaitUntil);
  EXPECT_DOUBLE_EQ(step.until_s, 100.8);
}

TEST(ReplayPlan, aTargetAlreadyInALaterCallGetsTheSamplesBeforeItAtOnce) {
  ReplayPlan replay = plan();
  FakeTarget target;
  replay.expect(kMap, 0);
  target.times[kMap] = {100.0, 100.1};
  replay.expect(kCommand, 100 * kMs);
  // Recorded 5 s later, but the target is waiting in its second call for it.
  EXPECT_EQ(replay.next(5000 * kMs, 100.2, target).action, ReplayStep::Action::Write);
  EXPECT_EQ(replay.skipped(), 1u);
  replay.expect(kMap, 6000 * kMs);
  // Once the plan has passed that call, pacing starts again from it.
  ReplayStep step = replay.next(6010 * kMs, 100.105, target);
  ASSERT_EQ(step.action, ReplayStep::Action::WaitUntil);
  EXPECT_DOUBLE_EQ(step.until_s, 100.11);
}

TEST(ReplayPlan, aChannelGivenUpOnIsNoLongerWaitedFor) {
  ReplayPlan replay = plan();
  FakeTarget target;
  replay.next(0, 100.0, target);
  replay.expect(kCommand, 100 * kMs);
  EXPECT_EQ(replay.next(200 * kMs, 130.0, target).action, ReplayStep::Action::WaitForTarget);
  replay.giveUp(kCommand);
  EXPECT_TRUE(replay.givenUp(kCommand));
  replay.expect(kCommand, 300 * kMs);
  EXPECT_EQ(replay.next(200 * kMs, 130.0, target).action, ReplayStep::Action::Write);
  EXPECT_EQ(replay.expected(kCommand), 2u);
}

}  // namespace
}  // namespace port_data
