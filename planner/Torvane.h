#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// The data types come before the port templates that marshal them.
#include <idl/OrvnCdrCodec.h>
#include <rtm/idl/BasicDataTypeSkel.h>
#include <Orvn.hh>
#include <Pexa.hh>
#include <Zemla.hh>

#include <rtm/CorbaConsumer.h>
#include <rtm/CorbaPort.h>
#include <rtm/DataFlowComponentBase.h>
#include <rtm/DataInPort.h>
#include <rtm/DataOutPort.h>
#include <rtm/Manager.h>

#include "command_keep_alive.h"
#include "planner_clock.h"
#include "planner_cycle.h"

// The mobile-base planner component: moves data between its ports and the planner cycle.
//
// Lifecycle (middleware-driven, callbacks on the execution context's thread): construction
// opens the step log and sets the clock to "clock.time_scale"; onInitialize registers ports
// and parameters (each with its range) and allocates the grid; onActivated loads the motion
// set and starts a new route; onExecute runs one cycle, whose waits (pacing, odometry) give
// way to a deactivation, an exit or a shutdown; onDeactivated stops the base and prints the
// statistics; onFinalize frees the grid. While active, a thread of its own sends the cycle's
// velocity command again between cycles (command_keep_alive.h).
class Torvane : public RTC::DataFlowComponentBase, private planner::PlannerIo {
 public:
  explicit Torvane(RTC::Manager* manager);
  ~Torvane() override;
  Torvane(const Torvane&) = delete;
  Torvane& operator=(const Torvane&) = delete;

  RTC::ReturnCode_t onInitialize() override;
  RTC::ReturnCode_t onFinalize() override;
  RTC::ReturnCode_t onActivated(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onDeactivated(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onExecute(RTC::UniqueId ec_id) override;

 private:
  bool takeMessage(std::string& text) override;
  void sendMessage(const std::string& text) override;
  void sendVelocity(double vx_mps, double va_radps) override;
  planner::MapServiceState mapServiceState() override;
  planner::MapFetch fetchMap() override;
  bool poseIsNew() override;
  planner::OdometryPose readPose() override;
  bool velocityIsNew() override;
  planner::OdometryVelocity readVelocity() override;
  bool keepWaiting() override;
  void publishImage(const cv::Mat& image) override;
  std::string consoleText(const std::string& utf8) override;

  // Seconds on the planner's clock (simulated time at a time scale other than 1).
  double clockSeconds() const;
  void writeVelocity(const planner::VelocityCommand& command);
  void startKeepAlive();
  void stopKeepAlive();
  void keepAliveLoop();

  Pexa::TimedPose2D robotPose_;
  RTC::InPort<Pexa::TimedPose2D> robotPoseIn_;
  Pexa::TimedVelocity2D robotVelocity_;
  RTC::InPort<Pexa::TimedVelocity2D> robotVelocityIn_;
  Pexa::TimedPoseVel2DSeq subgoalWaypoint_;
  RTC::InPort<Pexa::TimedPoseVel2DSeq> subgoalWaypointIn_;
  RTC::TimedString inMessage_;
  RTC::InPort<RTC::TimedString> inMessageIn_;
  Pexa::TimedVelocity2D robotControl_;
  RTC::OutPort<Pexa::TimedVelocity2D> robotControlOut_;
  Orvn::TimedImageData planningImg_;
  RTC::OutPort<Orvn::TimedImageData> planningImgOut_;
  RTC::TimedString message_;
  RTC::OutPort<RTC::TimedString> messageOut_;
  RTC::CorbaPort relativeMapServicePort_;
  RTC::CorbaConsumer<Zemla::RelativeMapService> relativeMapService_;

  planner::PlannerSettings settings_;
  planner::SteadyMillisecondClock clock_;
  planner::PlannerCycle cycle_;
  // The reply of this cycle's map request, released at the end of the cycle.
  Zemla::TimedFloatRelativeOGMapData_var mapReply_;
  // Set while the component is active; a sample wait gives up once it is cleared.
  std::atomic<bool> running_{false};

  const std::chrono::steady_clock::time_point clockStart_ = std::chrono::steady_clock::now();
  // Guards robot_control's out-port and everything of the keep-alive below.
  std::mutex commandMutex_;
  std::condition_variable keepAliveWake_;
  planner::CommandKeepAlive keepAlive_;
  bool keepAliveStop_ = false;
  std::thread keepAliveThread_;
};

extern "C" void TorvaneInit(RTC::Manager* manager);
