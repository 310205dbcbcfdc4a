#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <planner/planner_clock.h>

#include "fake_planner_ports.h"

namespace planner::fakes {

// A rectangular room in the odometry frame (metres; x forward at the start, y to the left).
struct Room {
  double west_m = -2.0;
  double east_m = 2.0;
  double south_m = -4.0;
  double north_m = 1.0;
};

// A base in a walled room, for runs of the whole planner cycle: it drives the last velocity
// command exactly (a unicycle) and sees the room as the planner's map service delivers it:
// 200 × 200 cells of 50 mm around the base, walls occupied, the inside free, the outside
// unknown.
class RoomWorld {
 public:
  explicit RoomWorld(const Room& room) : room_(room) {}

  // Drives the current command for `elapsed_s`.
  void advance(double elapsed_s);
  void command(double vx_mps, double va_radps);

  OdometryPose pose() const { return pose_; }
  OdometryVelocity velocity() const { return velocity_; }
  // The relative map, map row after map row, read as the planner reads it.
  std::vector<float> relativeMap() const;

 private:
  float sense(double x_m, double y_m) const;

  Room room_;
  OdometryPose pose_;
  OdometryVelocity velocity_;
};

// The planner's ports wired to a room world on the planner's own clock: the base moves while
// the planner sleeps. Every command, route word and published image is noted, in order, in
// `events` with the cycle number the test keeps in `cycle`.
class RoomWorldPorts : public FakePlannerPorts {
 public:
  RoomWorldPorts(RoomWorld& world, MillisecondClock& clock);

  void sendMessage(const std::string& text) override;
  void sendVelocity(double vx_mps, double va_radps) override;
  MapFetch fetchMap() override;
  bool poseIsNew() override;
  OdometryPose readPose() override;
  OdometryVelocity readVelocity() override;
  void publishImage(const cv::Mat& image) override;

  int cycle = 0;
  // Replaces the measured velocity of the next read, once.
  std::optional<OdometryVelocity> velocityOverride;
  // A map to deliver instead of the room's, once.
  std::optional<std::vector<float>> mapOverride;
  // Polls before the next pose sample arrives, once.
  int posePollsBeforeArrival = 0;
  // Milliseconds each map request takes.
  std::uint32_t mapRequest_ms = 3;
  std::vector<std::string> events;

 private:
  // Moves the world up to the clock's time.
  void catchUp();
  void note(const std::string& event);

  RoomWorld& world_;
  MillisecondClock& clock_;
  std::uint32_t worldTime_ms_;
};

// FNV-1a 64 of an image's pixel bytes, row after row.
std::uint64_t imageDigest(const cv::Mat& image);

}  // namespace planner::fakes
