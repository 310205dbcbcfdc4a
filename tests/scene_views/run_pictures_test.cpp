// RunPictures against the real simulators: the cell before, the base driven by a planner's
// commands, the route and the cell after once it is told to stop.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <opencv2/imgcodecs.hpp>

#include "building_view.h"
#include "picture_probe.h"
#include "scene_sources.h"
#include "simulators.h"
#include "tests/simbase/base_sim_client.h"

namespace scene_views {
namespace {

using test_support::Seconds;
using testing::orb;

const Seconds kPictureTimeout(60);
const ViewSize kPictureSize{800, 600};  // RunPictures' default
constexpr double kDriveTo_m = 1.2;
constexpr double kDriveSpeed_mps = 0.4;
// Simulated seconds the base stands still before the pictures are drawn: ten of RunPictures'
// samples at 20 Hz.
constexpr double kSeenAtRest_s = 0.5;

class RunPicturesTest : public testing::SimulatorsTest {
 protected:
  std::unique_ptr<test_support::ChildProcess> startPictures(const std::vector<std::string>& extra) {
    std::vector<std::string> arguments{"-n", names_.address(), "--dir", dir_.path()};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return start("RunPictures", arguments);
  }

  cv::Mat picture(const std::string& name) { return cv::imread(dir_.file(name), cv::IMREAD_COLOR); }
};

TEST_F(RunPicturesTest, drawsTheCellBeforeTheRouteDrivenAndTheCellAfter) {
  activateBase();
  ASSERT_FALSE(HasFatalFailure());
  auto pictures = startPictures({"--rate", "20"});
  ASSERT_TRUE(pictures->waitForOutput("wrote " + dir_.file("cell-before.png"), kPictureTimeout))
      << pictures->output();
  ASSERT_TRUE(pictures->waitForOutput("following BaseSim0", kPictureTimeout)) << pictures->output();

  // Drive straight ahead as a planner would, until the base is past kDriveTo_m.
  simbase_test::BaseSimClient base(names_);
  ASSERT_TRUE(base.ok());
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  double x_m = 0.0;
  while (x_m < kDriveTo_m && std::chrono::steady_clock::now() < deadline) {
    base.command->put(simbase_test::encodeVelocityCommand(kDriveSpeed_mps, 0.0));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    x_m = base.status->getStatus().x_m;
  }
  ASSERT_GE(x_m, kDriveTo_m);
  base.command->put(simbase_test::encodeVelocityCommand(0.0, 0.0));
  // RunPictures draws the base where it saw it last: the base comes to rest first, and stays
  // there for many of RunPictures' samples.
  SimBase::BaseStatus rest;
  ASSERT_TRUE(test_support::waitUntil(
      [&] {
        rest = base.status->getStatus();
        return rest.vx_mps == 0.0;
      },
      kPictureTimeout));
  ASSERT_TRUE(test_support::waitUntil(
      [&] { return base.status->getStatus().time_s >= rest.time_s + kSeenAtRest_s; },
      kPictureTimeout));

  ASSERT_TRUE(pictures->sendSignal(SIGTERM));
  const auto ended = pictures->waitForExit(kPictureTimeout);
  ASSERT_TRUE(ended);
  EXPECT_TRUE(ended->exitedWith(0)) << pictures->output();
  EXPECT_NE(pictures->output().find("wrote " + dir_.file("route.png")), std::string::npos);
  EXPECT_NE(pictures->output().find("wrote " + dir_.file("cell-after.png")), std::string::npos);

  // The route: the building as the base tells it, the path driven along y = 0 and the base at
  // its end.
  const auto status = findBaseStatus(orb(), names_.address());
  ASSERT_TRUE(status.value) << status.error;
  const auto building = readBuilding(*status.value);
  ASSERT_TRUE(building.value) << building.error;
  const PlaneTransform transform = buildingTransform(*building.value, kPictureSize);
  const cv::Mat route = picture("route.png");
  ASSERT_EQ(route.cols, kPictureSize.width_px);
  ASSERT_EQ(route.rows, kPictureSize.height_px);
  EXPECT_TRUE(hasColour(route, transform.pixel({0.5, 0.0}), kPathColour));
  EXPECT_TRUE(hasColour(route, transform.pixel({0.9, 0.0}), kPathColour));
  const SimBase::BaseStatus end = status.value->in()->getStatus();
  EXPECT_TRUE(hasColour(route, transform.pixel({end.x_m - 0.1, end.y_m}), kBaseColour));
  EXPECT_TRUE(hasColour(route, transform.pixel({-0.8, 0.0}), kWallColour));

  // The cell: drawn, the same size, the objects where they stand.
  for (const char* name : {"cell-before.png", "cell-after.png"}) {
    const cv::Mat cell = picture(name);
    ASSERT_EQ(cell.cols, kPictureSize.width_px) << name;
    EXPECT_GT(inkedPixels(cell, kBackgroundColour), 5000) << name;
    EXPECT_GT(pixelsOf(cell, objectColour(1)), 20) << name;
  }
}

TEST_F(RunPicturesTest, withoutTheSimulatorsItSaysWhyAndFails) {
  cell_.reset();
  base_.reset();
  auto pictures = startPictures({"--wait", "0.5", "--cell", "Elsewhere0"});
  ASSERT_TRUE(pictures->waitForOutput("no cell-before.png: Elsewhere0 is not in the name server",
                                      kPictureTimeout))
      << pictures->output();
  ASSERT_TRUE(pictures->sendSignal(SIGINT));
  const auto ended = pictures->waitForExit(kPictureTimeout);
  ASSERT_TRUE(ended);
  EXPECT_TRUE(ended->exitedWith(1)) << pictures->output();
  EXPECT_TRUE(pictures->waitForOutput("no route.png: nothing was heard from BaseSim0", Seconds(1)))
      << pictures->output();
}

TEST(RunPicturesCommandLine, refusesWhatItCannotDoBeforeStarting) {
  const std::string program = test_support::binPath("RunPictures");
  const test_support::RunResult version =
      test_support::runProgram(program, {"--version"}, Seconds(20));
  EXPECT_TRUE(version.status.exitedWith(0));
  EXPECT_EQ(version.out.rfind("RunPictures ", 0), 0u) << version.out;

  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {"--bogus"},
           {"-n", "127.0.0.1:2809"},
           {"-n", "127.0.0.1:2809", "--dir", "/nonexistent/dir"},
           {"-n", "127.0.0.1:2809", "--dir", "/tmp", "--rate", "100"},
           {"-n", "nowhere:x", "--dir", "/tmp"}}) {
    const test_support::RunResult refused =
        test_support::runProgram(program, arguments, Seconds(20));
    EXPECT_TRUE(refused.status.exitedWith(2)) << arguments.back() << refused.err;
    EXPECT_EQ(refused.err.rfind("RunPictures: ", 0), 0u) << refused.err;
  }
}

}  // namespace
}  // namespace scene_views
