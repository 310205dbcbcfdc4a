#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <planner/planner_cycle.h>

namespace planner::fakes {

// The planner's ports and map service as plain data: the test sets what the planner will
// read (map, odometry, supervisor words) and finds what it wrote (commands, words, images).
class FakePlannerPorts : public PlannerIo {
 public:
  MapServiceState serviceState = MapServiceState::Present;
  std::optional<std::string> callFailure;
  std::uint32_t mapWidth = 200;
  std::uint32_t mapHeight = 200;
  std::vector<float> cells = std::vector<float>(200 * 200, 0.0f);
  bool samplesArrive = true;
  // Polls of a wait that may still go on; negative: no end.
  int waitsAllowed = -1;
  std::deque<std::string> inbox;
  std::vector<std::string> sent;
  std::vector<std::pair<double, double>> velocities;
  std::vector<cv::Mat> images;
  OdometryPose pose;
  OdometryVelocity velocity;

  bool takeMessage(std::string& text) override;
  void sendMessage(const std::string& text) override { sent.push_back(text); }
  void sendVelocity(double vx_mps, double va_radps) override {
    velocities.emplace_back(vx_mps, va_radps);
  }
  MapServiceState mapServiceState() override { return serviceState; }
  MapFetch fetchMap() override;
  bool poseIsNew() override { return samplesArrive; }
  OdometryPose readPose() override { return pose; }
  bool velocityIsNew() override { return samplesArrive; }
  OdometryVelocity readVelocity() override { return velocity; }
  bool keepWaiting() override { return waitsAllowed < 0 || --waitsAllowed > 0; }
  void publishImage(const cv::Mat& image) override { images.push_back(image.clone()); }
  std::string consoleText(const std::string& utf8) override { return utf8; }
};

}  // namespace planner::fakes
