#include "summary_report.h"

#include <gtest/gtest.h>

namespace demo_summary {
namespace {

const char* const kGoodSteps =
    "drive to the work station\tROBOT_START\tROBOT_ARRIVED\tROBOT_ARRIVED\t41\n"
    "object 1 of 2\tHIRO_OBJ_MANIP_START\tHIRO_OBJ_MANIP_FINISHED\tHIRO_OBJ_MANIP_FINISHED\t9\n"
    "\n"
    "tray\tHIRO_TRAY_MANIP_START\tHIRO_TRAY_MANIP_FINISHED\tHIRO_TRAY_MANIP_FINISHED\t12.5\r\n";

TEST(ParseSteps, readsEveryStepAndSkipsBlankLines) {
  const StepParse parse = parseSteps(kGoodSteps);
  ASSERT_TRUE(parse.error.empty()) << parse.error;
  ASSERT_EQ(parse.steps.size(), 3u);
  EXPECT_EQ(parse.steps[0].label, "drive to the work station");
  EXPECT_EQ(parse.steps[1].answer, "HIRO_OBJ_MANIP_FINISHED");
  EXPECT_DOUBLE_EQ(parse.steps[2].duration_s, 12.5);
  EXPECT_TRUE(allStepsSucceeded(parse.steps));
}

TEST(ParseSteps, namesTheBadLine) {
  StepParse parse = parseSteps("a\tb\tc\td\t1\nshort\tline\n");
  EXPECT_EQ(parse.steps.size(), 1u);
  EXPECT_EQ(parse.error, "line 2: 2 fields instead of 5");

  parse = parseSteps("a\tb\tc\td\tsoon\n");
  EXPECT_EQ(parse.error, "line 1: duration is not a number of seconds: \"soon\"");
  parse = parseSteps("a\tb\tc\td\t-1\n");
  EXPECT_FALSE(parse.error.empty());
}

TEST(AllStepsSucceeded, needsEveryExpectedAnswerAndAtLeastOneStep) {
  EXPECT_FALSE(allStepsSucceeded({}));
  const StepParse parse =
      parseSteps("object 1\tHIRO_OBJ_MANIP_START\tTIMEOUT\tHIRO_OBJ_MANIP_FINISHED\t120\n");
  EXPECT_FALSE(allStepsSucceeded(parse.steps));
}

SummaryInput goodRun() {
  const pickplace::CellConfig config = pickplace::defaultCellConfig();
  Point3 slot = *slotAfterPutDown(config, 0, 0);
  slot.z_m -= pickplace::kSlotHeight_m;
  const TrayPose tray = putDownTrayPose(config);
  SummaryInput input;
  input.steps = parseSteps(kGoodSteps).steps;
  input.placement = checkPlacement(config, {{0, 0, true, slot}}, {tray.topCentre, 0.0, false});
  input.base = BaseRun{0, 23.456};
  return input;
}

TEST(Summary, goodRunSucceedsAndSaysSo) {
  const SummaryInput input = goodRun();
  EXPECT_TRUE(summarySucceeded(input));
  const std::string text = formatSummary(input);
  EXPECT_NE(text.find("ROBOT_ARRIVED"), std::string::npos) << text;
  EXPECT_NE(text.find("object 0 (class 0) at ( +510.0,   +39.8,  +32.0) mm"), std::string::npos)
      << text;
  EXPECT_NE(text.find("0.0 mm across, -7.0 mm up, on the tray  OK"), std::string::npos) << text;
  EXPECT_NE(text.find("collisions 0, distance driven 23.46 m  OK"), std::string::npos) << text;
  EXPECT_NE(text.find("Result: every step succeeded"), std::string::npos) << text;
}

TEST(Summary, aCollisionFailsTheRun) {
  SummaryInput input = goodRun();
  input.base->collisions = 1;
  EXPECT_FALSE(summarySucceeded(input));
  EXPECT_NE(formatSummary(input).find("collisions 1, distance driven 23.46 m  WRONG"),
            std::string::npos);
}

TEST(Summary, missingDataFailsTheRunAndSaysWhy) {
  SummaryInput input = goodRun();
  input.placement.reset();
  input.placementUnavailable = "Palkett0 is not in the name server";
  input.base.reset();
  input.baseUnavailable = "BaseSim0: no port BaseStatusService";
  EXPECT_FALSE(summarySucceeded(input));
  const std::string text = formatSummary(input);
  EXPECT_NE(text.find("not known: Palkett0 is not in the name server"), std::string::npos);
  EXPECT_NE(text.find("not known: BaseSim0: no port BaseStatusService"), std::string::npos);
  EXPECT_NE(text.find("Result: FAILED"), std::string::npos);
}

TEST(Summary, aFailedStepShowsWhatWasExpected) {
  SummaryInput input = goodRun();
  input.steps[1].answer = "HIRO_OBJ_MANIP_ERROR";
  EXPECT_FALSE(summarySucceeded(input));
  EXPECT_NE(formatSummary(input).find("expected HIRO_OBJ_MANIP_FINISHED"), std::string::npos);
}

}  // namespace
}  // namespace demo_summary
