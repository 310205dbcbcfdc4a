#pragma once
// BaseSim: the simulated mobile base as an RT-component. It takes velocity commands on
// `robot_control`, publishes odometry on `robot_pose` and `robot_velocity`, serves the range
// sensor's map ("RelativeMapService") and its own status ("BaseStatusService").
//
// Lifecycle: onInitialize registers ports and parameters (each with its range); the first
// onActivated loads the floor plan and starts the world (a plan that cannot be loaded puts the
// component in error, with one line on standard error); onExecute, on the execution context's
// thread, steps the world's clock, passes the last command on, advances the world to it and
// publishes odometry
// (odometry_schedule.h says when); onFinalize prints the run's summary. The services answer on
// ORB threads and share the world through WorldSlot.

// The port data types come first: the middleware's port templates find their Any operators
// only when these are declared before them.
#include <Pexa.hh>

#include <rtm/CorbaPort.h>
#include <rtm/DataFlowComponentBase.h>
#include <rtm/DataInPort.h>
#include <rtm/DataOutPort.h>
#include <rtm/Manager.h>

#include <atomic>
#include <memory>
#include <string>

#include "BaseStatusSVC_impl.h"
#include "RelativeMapSVC_impl.h"
#include "odometry_schedule.h"
#include "sim_clock.h"
#include "world_slot.h"

class BaseSim : public RTC::DataFlowComponentBase {
 public:
  explicit BaseSim(RTC::Manager* manager);
  ~BaseSim() override;

  RTC::ReturnCode_t onInitialize() override;
  RTC::ReturnCode_t onActivated(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onExecute(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onFinalize() override;

 private:
  bool startWorld();
  void publishOdometry();

  Pexa::TimedVelocity2D command_;
  RTC::InPort<Pexa::TimedVelocity2D> commandIn_;
  Pexa::TimedPose2D pose_;
  RTC::OutPort<Pexa::TimedPose2D> poseOut_;
  Pexa::TimedVelocity2D velocity_;
  RTC::OutPort<Pexa::TimedVelocity2D> velocityOut_;

  basesim::WorldSlot world_;
  basesim::SteadyClock steadyClock_;
  // Simulated time ("clock.time_scale" of the configuration): integration, watchdog, odometry
  // rate and time stamps all run on it.
  basesim::ScaledClock clock_;
  // The world's time: the scaled clock, stepped by onExecute (sim_clock.h says why).
  basesim::SteppedClock worldClock_;
  // Simulated time the world waited for its process (onExecute adds, onFinalize reads).
  std::atomic<double> worldWaited_s_{0.0};
  RTC::CorbaPort mapPort_;
  RelativeMapSVC_impl mapService_;
  RTC::CorbaPort statusPort_;
  BaseStatusSVC_impl statusService_;

  // Configuration (names and units in README.md).
  std::string floorPlanFile_;
  double footprintRadius_m_ = 0.0;
  double watchdog_s_ = 0.0;
  double odometryRate_hz_ = 0.0;
  double odometryNoise_ = 0.0;
  int noiseSeed_ = 0;
  double maxAccel_mps2_ = 0.0;
  double maxAngularAccel_radps2_ = 0.0;
  double sensorRange_m_ = 0.0;

  // Map requests answered so far (ORB threads count, onExecute reads).
  std::atomic<unsigned> mapRequests_{0};
  unsigned mapRequestsSeen_ = 0;
  std::unique_ptr<basesim::OdometrySchedule> odometrySchedule_;
};

extern "C" void BaseSimInit(RTC::Manager* manager);
