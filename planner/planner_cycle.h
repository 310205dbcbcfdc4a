#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <opencv2/core.hpp>

#include "local_grid.h"
#include "map_grid_build.h"
#include "memory_account.h"
#include "motion_set.h"
#include "path_record.h"
#include "planner_clock.h"
#include "prediction.h"
#include "route.h"
#include "step_log.h"

// The planner's lifecycle and control cycle, free of the middleware: the component moves data
// between its ports and this class through PlannerIo.
//
// Lifecycle: initialize() once, then activate() / execute()… / deactivate() any number of
// times, then finalize(). All calls come from one thread (the execution context's).
namespace planner {

// Configuration parameters as bound by the component (units in the names).
struct PlannerSettings {
  double goalArea_m = 0.200;
  double loopTime_s = 0.100;
  double robotAcceleration_mps2 = 0.300;
  double robotMaxSpeed_mps = 0.300;
  RouteThresholds route;
};

enum class MapServiceState { Present, NotConnected, NotActive };

// What one map request brought: either the reply's view (valid until the next request) or the
// description of a failed call.
struct MapFetch {
  MapReplyView map;
  std::optional<std::string> failure;
};

// The ports and the map service as the cycle sees them; the supervisor's words come in
// through the WordInbox part.
class PlannerIo : public WordInbox {
 public:
  virtual void sendMessage(const std::string& text) = 0;
  // Writes the velocity command of the base (m/s, rad/s).
  virtual void sendVelocity(double vx_mps, double va_radps) = 0;
  virtual MapServiceState mapServiceState() = 0;
  virtual MapFetch fetchMap() = 0;
  virtual bool poseIsNew() = 0;
  virtual OdometryPose readPose() = 0;
  virtual bool velocityIsNew() = 0;
  virtual OdometryVelocity readVelocity() = 0;
  // False once a wait (the pause at activation, the pacing to LOOP_TIME, odometry samples)
  // should be given up: a deactivation, an exit or a shutdown waits for it to end.
  virtual bool keepWaiting() = 0;
  virtual void publishImage(const cv::Mat& image) = 0;
  // The console bytes of a text holding the full-width colon.
  virtual std::string consoleText(const std::string& utf8) = 0;
};

struct PlannerFiles {
  std::string motionSet = "MotionSet.mtn";
  std::string stepLog = "data_log.txt";
};

// Console text of the memory figure: Byte, KByte, MByte or GByte.
std::string memoryConsumptionText(std::int32_t bytes);

// The value of the last "exec_cxt.periodic.rate:" in a configuration file (0 when absent);
// no value when the file cannot be read.
std::optional<double> readRunFrequency(const std::string& fileName);

class PlannerCycle {
 public:
  PlannerCycle(const PlannerSettings& settings, PlannerIo& io, MillisecondClock& clock,
               PlannerFiles files = PlannerFiles{});
  PlannerCycle(const PlannerCycle&) = delete;
  PlannerCycle& operator=(const PlannerCycle&) = delete;

  // False when the step log cannot be created.
  bool openStepLog();
  void initialize();
  // The refusal line of the motion set file when it cannot be used; the activation is then
  // incomplete and the caller ends the process.
  std::optional<std::string> activate();
  void execute();
  void deactivate();
  void finalize();
  // Writes the step log's closing line.
  void closeStepLog() { stepLog_.close(); }

  // Observers for tests and the component.
  const LocalGrid& grid() const { return grid_; }
  LocalGrid& grid() { return grid_; }
  const PathBook& path() const { return path_; }
  std::int32_t routeState() const { return numberOf(route_.state()); }
  std::uint16_t statusFlags() const { return statusFlags_; }
  bool directCommand() const { return directCommand_; }
  std::int32_t memoryInUse_bytes() const { return memory_.inUse_bytes(); }
  const std::vector<MotionPrimitive>& motionSet() const { return motionSet_; }
  const cv::Mat& lastPublishedPicture() const { return keptImage_; }

 private:
  // Waits until LOOP_TIME has passed since the last cycle began; false when told to give up.
  bool pace();
  void sendPlannedVelocity();
  void stopRobot();
  bool mapServiceMissing();
  bool rebuildGridFromService();
  bool waitForMotion();
  void predictAndPrint();
  // Carries out what the route step asked for; false when the cycle ends there.
  bool followRoute(const RouteOutcome& outcome);
  // Both look-ahead records stop at the current pose, the step advances and the picture of a
  // held cycle is published.
  void holdPosition();
  void stopForPredictedCollision();
  void publishPlanningImage();
  void completeCycle(GridCell goal);
  void advanceStep();
  void createImages();
  void releaseImages();

  const PlannerSettings& settings_;
  PlannerIo& io_;
  MillisecondClock& clock_;
  PlannerFiles files_;

  LocalGrid grid_;
  bool gridAllocated_ = false;
  cv::Mat mapImage_;
  cv::Mat planningImage_;
  cv::Mat keptImage_;
  MemoryAccount memory_;

  PathBook path_;
  PlannerFrame frame_;
  MeasuredMotion motion_;
  RobotState robotState_;
  std::optional<PlannerPoint> startMarker_;
  std::vector<MotionPrimitive> motionSet_;

  double loopTime_s_ = 0.0;
  float maxSpeed_mmps_ = 0.0f;
  bool directCommand_ = false;
  std::uint16_t statusFlags_ = 0;
  std::int32_t stepValue_ = 0;

  std::uint32_t cycleStart_ms_ = 0;
  std::uint32_t activation_ms_ = 0;
  std::uint32_t totalComputation_ms_ = 0;
  std::uint32_t maxComputation_ms_ = 0;

  StepLog stepLog_;
  Route route_;
};

}  // namespace planner
