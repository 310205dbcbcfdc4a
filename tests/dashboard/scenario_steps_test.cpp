// The scenario's steps: from the demo's steps file, or paired from the words.
#include <gtest/gtest.h>

#include "scenario_steps.h"

namespace dashboard {
namespace {

TEST(StepsFromText, TheDemosStepsWithDurationsAndOutcome) {
  StepsFromFile steps = stepsFromText(
      "route out\tROBOT_START\tROBOT_ARRIVED\tROBOT_ARRIVED\t41\n"
      "object\tHIRO_OBJ_MANIP_START\tTIMEOUT\tHIRO_OBJ_MANIP_FINISHED\t120\n");
  ASSERT_TRUE(steps.error.empty()) << steps.error;
  ASSERT_EQ(steps.steps.size(), 2u);
  EXPECT_EQ(steps.steps[0].label, "route out");
  EXPECT_EQ(steps.steps[0].command, "ROBOT_START");
  EXPECT_DOUBLE_EQ(*steps.steps[0].duration_s, 41.0);
  EXPECT_TRUE(steps.steps[0].succeeded);
  EXPECT_FALSE(steps.steps[1].succeeded);
  EXPECT_EQ(steps.steps[1].expected, "HIRO_OBJ_MANIP_FINISHED");
}

TEST(StepsFromText, AMalformedLineIsReportedAndTheLinesBeforeKept) {
  StepsFromFile steps =
      stepsFromText("route out\tROBOT_START\tROBOT_ARRIVED\tROBOT_ARRIVED\t41\nbroken\n");
  EXPECT_FALSE(steps.error.empty());
  EXPECT_EQ(steps.steps.size(), 1u);
}

TEST(StepTracker, ASentWordEndsWithTheNextAnswerOfItsSide) {
  StepTracker tracker;
  tracker.commandSent(WordTarget::Planner, "ROBOT_START", 100.0);
  tracker.commandSent(WordTarget::Coordinator, "HIRO_OBJ_MANIP_START", 101.0);
  tracker.answerSeen(WordTarget::Coordinator, "HIRO_OBJ_MANIP_FINISHED", 131.0);
  ASSERT_EQ(tracker.steps().size(), 2u);
  EXPECT_FALSE(tracker.steps()[0].duration_s.has_value());  // the route still runs
  EXPECT_EQ(tracker.steps()[1].answer, "HIRO_OBJ_MANIP_FINISHED");
  EXPECT_DOUBLE_EQ(*tracker.steps()[1].duration_s, 30.0);
  tracker.answerSeen(WordTarget::Planner, "ROBOT_ARRIVED", 150.0);
  EXPECT_EQ(tracker.steps()[0].answer, "ROBOT_ARRIVED");
  EXPECT_DOUBLE_EQ(*tracker.steps()[0].duration_s, 50.0);
}

TEST(StepTracker, AnAnswerNobodyHereAskedForIsListedWithoutDuration) {
  StepTracker tracker;
  tracker.answerSeen(WordTarget::Planner, "ROBOT_FINISH", 10.0);
  ASSERT_EQ(tracker.steps().size(), 1u);
  EXPECT_EQ(tracker.steps()[0].answer, "ROBOT_FINISH");
  EXPECT_TRUE(tracker.steps()[0].command.empty());
  EXPECT_FALSE(tracker.steps()[0].duration_s.has_value());
}

TEST(StepTracker, ANewWordToTheSameSideLeavesTheEarlierOneUnanswered) {
  StepTracker tracker;
  tracker.commandSent(WordTarget::Coordinator, "HIRO_OBJ_MANIP_START", 0.0);
  tracker.commandSent(WordTarget::Coordinator, "HIRO_OBJ_MANIP_STOP", 5.0);
  tracker.answerSeen(WordTarget::Coordinator, "HIRO_OBJ_MANIP_STOPPED", 6.0);
  ASSERT_EQ(tracker.steps().size(), 2u);
  EXPECT_TRUE(tracker.steps()[0].answer.empty());
  EXPECT_DOUBLE_EQ(*tracker.steps()[1].duration_s, 1.0);
}

TEST(StepTracker, BoundedAndStillPairsAfterTheOldestWentAway) {
  StepTracker tracker;
  tracker.commandSent(WordTarget::Planner, "ROBOT_START", 0.0);
  for (std::size_t i = 0; i < StepTracker::kMaxSteps + 3; ++i) {
    tracker.answerSeen(WordTarget::Coordinator, "HIRO_OBJ_MANIP_FINISHED", 1.0);
  }
  EXPECT_EQ(tracker.steps().size(), StepTracker::kMaxSteps);
  tracker.commandSent(WordTarget::Planner, "ROBOT_GO_BACK", 10.0);
  tracker.answerSeen(WordTarget::Planner, "ROBOT_FINISH", 14.0);
  EXPECT_EQ(tracker.steps().back().command, "ROBOT_GO_BACK");
  EXPECT_DOUBLE_EQ(*tracker.steps().back().duration_s, 4.0);
}

}  // namespace
}  // namespace dashboard
