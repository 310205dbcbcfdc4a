#include "gateway/motion/motion_wait_gate.h"

#include <chrono>
#include <future>

#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;

// Long enough that a pause only ends early when it is released.
constexpr std::chrono::hours kForever{1};
constexpr std::chrono::seconds kDeadline{20};

TEST(MotionWaitGate, aPauseWithoutReleaseLetsTheWaitGoOn) {
  MotionWaitGate gate;
  EXPECT_FALSE(gate.pause(gate.enter(), milliseconds(1)));
}

TEST(MotionWaitGate, aReleaseEndsAPauseInProgress) {
  MotionWaitGate gate;
  const MotionWaitGate::Entry entry = gate.enter();
  std::future<std::optional<MotionWaitGate::Release>> paused =
      std::async(std::launch::async, [&] { return gate.pause(entry, kForever); });
  gate.releaseWaits();
  ASSERT_EQ(paused.wait_for(kDeadline), std::future_status::ready);
  EXPECT_EQ(paused.get(), MotionWaitGate::Release::Deactivated);
}

TEST(MotionWaitGate, aReleaseConcernsOnlyTheWaitsThatEnteredBeforeIt) {
  MotionWaitGate gate;
  const MotionWaitGate::Entry before = gate.enter();
  gate.releaseWaits();
  const MotionWaitGate::Entry after = gate.enter();
  EXPECT_EQ(gate.pause(before, milliseconds(1)), MotionWaitGate::Release::Deactivated);
  EXPECT_FALSE(gate.pause(after, milliseconds(1)));
}

TEST(MotionWaitGate, aShutDownEndsEveryWaitForGood) {
  MotionWaitGate gate;
  const MotionWaitGate::Entry entry = gate.enter();
  std::future<std::optional<MotionWaitGate::Release>> paused =
      std::async(std::launch::async, [&] { return gate.pause(entry, kForever); });
  gate.shutDown();
  ASSERT_EQ(paused.wait_for(kDeadline), std::future_status::ready);
  EXPECT_EQ(paused.get(), MotionWaitGate::Release::ShutDown);
  EXPECT_EQ(gate.pause(gate.enter(), kForever), MotionWaitGate::Release::ShutDown);
}

}  // namespace
