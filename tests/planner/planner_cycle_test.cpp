#include <planner/planner_cycle.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <planner/cell_bits.h>
#include <planner/planning_image.h>

#include "fake_planner_ports.h"
#include "manual_clock.h"

namespace planner {
namespace {

using fakes::FakePlannerPorts;
using fakes::ManualClock;

class Cycle : public ::testing::Test {
 protected:
  std::string dir = ::testing::TempDir();
  std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  PlannerFiles files{dir + name + ".mtn", dir + name + "_log.txt"};
  PlannerSettings settings;
  ManualClock clock;
  FakePlannerPorts io;
  PlannerCycle planner{settings, io, clock, files};

  void SetUp() override {
    settings.loopTime_s = 0.5;
    ASSERT_TRUE(writeMotionFile(files.motionSet, {}));
    ASSERT_TRUE(planner.openStepLog());
    planner.initialize();
    ASSERT_FALSE(planner.activate());
  }
  void TearDown() override {
    planner.closeStepLog();
    std::remove(files.motionSet.c_str());
    std::remove(files.stepLog.c_str());
  }
  static bool hasStatusLine(const cv::Mat& image) {
    int white = 0;
    for (int y = 370; y <= 385; ++y)
      for (int x = 0; x < 400; ++x) white += image.at<cv::Vec3b>(y, x) == cv::Vec3b(255, 255, 255);
    return white > 50;
  }
};

TEST_F(Cycle, withoutTheStartWordEveryCycleSendsZeroAndPublishesNothing) {
  for (int i = 0; i < 3; ++i) planner.execute();
  EXPECT_EQ(planner.path().step(), 0);
  EXPECT_EQ(planner.routeState(), 0);
  EXPECT_TRUE(io.images.empty());
  ASSERT_FALSE(io.velocities.empty());
  for (const auto& [vx, va] : io.velocities) {
    EXPECT_EQ(vx, 0.0);
    EXPECT_EQ(va, 0.0);
  }
}

TEST_F(Cycle, startedRouteDrivesOnAndPacesItself) {
  io.inbox.push_back("ROBOT_START");
  planner.execute();  // reads the word, completes the cycle
  EXPECT_EQ(planner.path().step(), 1);
  EXPECT_EQ(planner.routeState(), 1);
  ASSERT_EQ(io.images.size(), 1u);
  EXPECT_EQ(io.images[0].at<cv::Vec3b>(200, 200), cv::Vec3b(15, 129, 239));

  const std::uint32_t before = clock.now;
  planner.execute();  // plans full speed ahead into the next period
  EXPECT_GE(clock.now - before, 500u) << "a cycle with step != 0 waits for LOOP_TIME";
  io.velocities.clear();
  planner.execute();
  ASSERT_FALSE(io.velocities.empty());
  EXPECT_DOUBLE_EQ(io.velocities.front().first, 0.3);
  EXPECT_EQ(io.velocities.front().second, 0.0);
  EXPECT_EQ(planner.path().step(), 3);
  EXPECT_EQ(planner.statusFlags(), 0);
}

TEST_F(Cycle, missingMapServiceResendsThePlannedCommandAndShowsTheStatus) {
  io.inbox.push_back("ROBOT_START");
  planner.execute();
  planner.execute();
  io.serviceState = MapServiceState::NotActive;
  io.images.clear();
  io.velocities.clear();
  planner.execute();
  planner.execute();
  EXPECT_EQ(planner.path().step(), 2);
  EXPECT_EQ(planner.statusFlags(), kStatusMapMissing);
  ASSERT_EQ(io.velocities.size(), 2u);
  EXPECT_DOUBLE_EQ(io.velocities[0].first, 0.3);
  EXPECT_DOUBLE_EQ(io.velocities[1].first, 0.3);
  ASSERT_EQ(io.images.size(), 2u);
  EXPECT_TRUE(hasStatusLine(io.images[1]));
}

TEST_F(Cycle, unusableMapStopsTheBaseAndTheNextGoodMapResumes) {
  io.inbox.push_back("ROBOT_START");
  planner.execute();
  planner.execute();
  for (auto fault : {0, 1, 2, 3}) {
    FakePlannerPorts good = io;
    if (fault == 0) io.mapWidth = 201;
    if (fault == 1) io.cells.resize(100);
    if (fault == 2) io.cells[7] = std::nanf("");
    if (fault == 3) io.callFailure = "CORBA::TRANSIENT";
    io.images.clear();
    io.velocities.clear();
    planner.execute();
    EXPECT_EQ(planner.statusFlags(), kStatusMapMissing) << fault;
    EXPECT_EQ(planner.path().step(), 2) << fault;
    ASSERT_EQ(io.velocities.size(), 2u) << fault;
    EXPECT_EQ(io.velocities.back(), std::make_pair(0.0, 0.0)) << "the base is stopped";
    ASSERT_EQ(io.images.size(), 1u);
    EXPECT_TRUE(hasStatusLine(io.images[0]));
    io.mapWidth = good.mapWidth;
    io.cells = good.cells;
    io.callFailure.reset();
  }
  planner.execute();
  EXPECT_EQ(planner.path().step(), 3);
  EXPECT_EQ(planner.statusFlags(), 0);
}

TEST_F(Cycle, predictedCollisionStopsAndHoldsButKeepsTheRoute) {
  io.inbox.push_back("ROBOT_START");
  planner.execute();
  std::fill(io.cells.begin(), io.cells.end(), 1.0f);  // walls everywhere
  io.images.clear();
  io.velocities.clear();
  planner.execute();
  EXPECT_EQ(planner.statusFlags(), kStatusCollision);
  EXPECT_EQ(planner.path().step(), 2) << "a held cycle advances the step";
  EXPECT_EQ(planner.routeState(), 2) << "the wall at 0 mm ended the approach";
  EXPECT_EQ(io.velocities.back(), std::make_pair(0.0, 0.0));
  EXPECT_EQ(planner.path().executing().v_mmps, 0.0f);
  EXPECT_EQ(planner.path().planned().v_mmps, 0.0f);
  ASSERT_EQ(io.images.size(), 1u);
  EXPECT_TRUE(hasStatusLine(io.images[0]));
}

TEST_F(Cycle, lostOdometryGivesUpWhenToldTo) {
  io.inbox.push_back("ROBOT_START");
  io.samplesArrive = false;
  io.waitsAllowed = 20;
  const std::uint32_t before = clock.now;
  planner.execute();
  EXPECT_EQ(planner.path().step(), 0);
  EXPECT_TRUE(io.images.empty());
  EXPECT_GE(clock.now - before, 19u) << "the wait sleeps between polls";
  EXPECT_EQ(planner.routeState(), 0);
}

TEST_F(Cycle, pacingGivesWayWhenToldTo) {
  settings.loopTime_s = 10.0;
  planner.deactivate();
  ASSERT_FALSE(planner.activate());
  io.inbox.push_back("ROBOT_START");
  planner.execute();
  ASSERT_EQ(planner.path().step(), 1);
  io.velocities.clear();
  io.images.clear();
  io.waitsAllowed = 30;
  const std::uint32_t before = clock.now;
  planner.execute();
  EXPECT_EQ(clock.now - before, 29u) << "the pacing stops as soon as it is told";
  EXPECT_TRUE(io.velocities.empty()) << "a cycle given up sends nothing";
  EXPECT_TRUE(io.images.empty());
  EXPECT_EQ(planner.path().step(), 1);
}

TEST_F(Cycle, activationPausesTwoSecondsUnlessToldToGiveUp) {
  planner.deactivate();
  std::uint32_t before = clock.now;
  ASSERT_FALSE(planner.activate());
  EXPECT_EQ(clock.now - before, 2000u);
  planner.deactivate();
  io.waitsAllowed = 10;
  before = clock.now;
  ASSERT_FALSE(planner.activate()) << "the activation still completes";
  EXPECT_EQ(clock.now - before, 9u);
  EXPECT_EQ(planner.motionSet().size(), 33u);
}

TEST_F(Cycle, takesEveryWordThatCameSinceTheLastCycle) {
  for (int i = 0; i < 5000; ++i) io.inbox.push_back("NOT_A_ROUTE_WORD");
  io.inbox.push_back("ROBOT_START");
  for (int i = 0; i < 5000; ++i) io.inbox.push_back("NOT_A_ROUTE_WORD");
  planner.execute();
  EXPECT_EQ(planner.routeState(), 1) << "the start word in the middle starts the route";
  EXPECT_EQ(io.inbox.size(), 5000u) << "the words after it wait for a state that listens";
  planner.execute();
  EXPECT_EQ(planner.routeState(), 1);
  EXPECT_EQ(io.inbox.size(), 5000u);
}

TEST_F(Cycle, memoryCountsGridAndImagesAndReleasesThemOnDeactivation) {
  const std::int32_t active = planner.memoryInUse_bytes();
  EXPECT_EQ(active, static_cast<std::int32_t>(40000 + 40000 + 2 * 480000 + 3 * sizeof(cv::Mat)));
  planner.deactivate();
  EXPECT_EQ(planner.memoryInUse_bytes(), 40000);
  planner.finalize();
  EXPECT_EQ(planner.memoryInUse_bytes(), 0);
}

TEST_F(Cycle, deactivationBeforeAnyCompletedCycleReportsNoAverage) {
  planner.execute();
  ::testing::internal::CaptureStdout();
  planner.deactivate();
  const std::string report = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(report.find("Total time:"), std::string::npos) << report;
  EXPECT_NE(report.find("The maximum computation time：0 msec\n"), std::string::npos) << report;
  EXPECT_EQ(report.find("Total computation time"), std::string::npos) << report;
}

TEST_F(Cycle, deactivationAfterCyclesReportsTotalAndAverage) {
  io.inbox.push_back("ROBOT_START");
  for (int i = 0; i < 3; ++i) planner.execute();
  ::testing::internal::CaptureStdout();
  planner.deactivate();
  const std::string report = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(report.find("Total computation time： 0msec  An average computation time of the "
                        "loop：0 msec\n"),
            std::string::npos)
      << report;
  EXPECT_EQ(io.velocities.back(), std::make_pair(0.0, 0.0)) << "deactivation stops the base";
}

TEST_F(Cycle, missingMotionFileRefusesTheActivation) {
  planner.deactivate();
  std::remove(files.motionSet.c_str());
  const auto refusal = planner.activate();
  ASSERT_TRUE(refusal.has_value());
  EXPECT_NE(refusal->find("is nothing"), std::string::npos);
}

TEST(MemoryConsumptionText, picksTheUnit) {
  EXPECT_EQ(memoryConsumptionText(999), "Memory consumption：999 Byte\n");
  EXPECT_EQ(memoryConsumptionText(1000), "Memory consumption：1.0 KByte\n");
  EXPECT_EQ(memoryConsumptionText(1040288), "Memory consumption：1.0 MByte\n");
  EXPECT_EQ(memoryConsumptionText(2000000000), "Memory consumption：2.0 GByte\n");
}

TEST(ReadRunFrequency, lastKeyWinsAndAbsentKeyIsZero) {
  const std::string name = ::testing::TempDir() + "run_frequency_rtc.conf";
  std::ofstream(name) << "corba.nameservers: localhost\nexec_cxt.periodic.rate: 10\n"
                         "logger.enable: NO\nexec_cxt.periodic.rate: 20.5\n";
  EXPECT_EQ(readRunFrequency(name), 20.5);
  std::ofstream(name) << "logger.enable: NO\n";
  EXPECT_EQ(readRunFrequency(name), 0.0);
  std::remove(name.c_str());
  EXPECT_FALSE(readRunFrequency(name).has_value());
}

}  // namespace
}  // namespace planner
