#include "BaseSim.h"

#include <cmath>
#include <cstdio>

#include <rtm/ParameterCheck.h>
#include <shell/component_shell.h>
#include <shell/time_scale.h>

#include "floor_plan.h"

namespace {

constexpr double kRadToDeg = 180.0 / M_PI;
// A watchdog longer than this would no longer stop a base whose commander is gone in time to
// matter.
constexpr double kLongestWatchdog_s = 10.0;
// Below an integration step the watchdog would trip between any two commands.
constexpr double kShortestWatchdog_s = 0.005;
// The world moves at most this much simulated time per execution (five of its periods at
// 50 Hz, a fifth of the default watchdog): a process that got no processor for longer finds
// the world where it left it.
constexpr double kLongestWorldStep_s = 0.1;
constexpr double kReportedWait_s = 0.05;

// clang-format off
const char* const base_sim_profile[] = {
    "implementation_id", "BaseSim",
    "type_name",         "BaseSim",
    "description",       "Simulated differential-drive base with a range sensor map",
    "version",           "1.0.0",
    "vendor",            "MobileManipulator",
    "category",          "Simulation",
    "activity_type",     "PERIODIC",
    "kind",              "DataFlowComponent",
    "max_instance",      "1",
    "language",          "C++",
    "lang_type",         "compile",
    "conf.default.floor_plan",               DEFAULT_FLOOR_PLAN,
    "conf.default.footprint_radius_m",       "0.15",
    "conf.default.watchdog_s",               "0.5",
    "conf.default.odometry_rate_hz",         "2.0",
    "conf.default.odometry_noise",           "0.0",
    "conf.default.noise_seed",               "1",
    "conf.default.max_accel_mps2",           "0.8",
    "conf.default.max_angular_accel_radps2", "2.0",
    "conf.default.sensor_range_m",           "4.5",
    "conf.__widget__.floor_plan",               "text",
    "conf.__widget__.footprint_radius_m",       "text",
    "conf.__widget__.watchdog_s",               "text",
    "conf.__widget__.odometry_rate_hz",         "text",
    "conf.__widget__.odometry_noise",           "text",
    "conf.__widget__.noise_seed",               "text",
    "conf.__widget__.max_accel_mps2",           "text",
    "conf.__widget__.max_angular_accel_radps2", "text",
    "conf.__widget__.sensor_range_m",           "text",
    ""};
// clang-format on

RTC::Time stampOf(double seconds) {
  RTC::Time time;
  time.sec = static_cast<CORBA::ULong>(seconds);
  time.nsec = static_cast<CORBA::ULong>((seconds - std::floor(seconds)) * 1e9);
  return time;
}

}  // namespace

BaseSim::BaseSim(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager),
      commandIn_("robot_control", command_),
      poseOut_("robot_pose", pose_),
      velocityOut_("robot_velocity", velocity_),
      clock_(steadyClock_, shell::timeScaleOf(manager->getConfig())),
      worldClock_(clock_, kLongestWorldStep_s),
      mapPort_("RelativeMapService"),
      mapService_(world_, mapRequests_),
      statusPort_("BaseStatusService"),
      statusService_(world_) {}

BaseSim::~BaseSim() = default;

RTC::ReturnCode_t BaseSim::onInitialize() {
  addInPort("robot_control", commandIn_);
  addOutPort("robot_pose", poseOut_);
  addOutPort("robot_velocity", velocityOut_);
  mapPort_.registerProvider("RelativeMapService", "Zemla::RelativeMapService", mapService_);
  addPort(mapPort_);
  statusPort_.registerProvider("BaseStatusService", "SimBase::BaseStatusService", statusService_);
  addPort(statusPort_);

  namespace check = RTC::check;
  bindParameter("floor_plan", floorPlanFile_, DEFAULT_FLOOR_PLAN,
                [](const std::string& path) -> std::string {
                  return path.empty() ? "must name a floor plan file" : "";
                });
  bindParameter("footprint_radius_m", footprintRadius_m_, "0.15", check::positive<double>());
  bindParameter("watchdog_s", watchdog_s_, "0.5",
                check::between(kShortestWatchdog_s, kLongestWatchdog_s));
  bindParameter("odometry_rate_hz", odometryRate_hz_, "2.0", check::positive<double>());
  bindParameter("odometry_noise", odometryNoise_, "0.0", check::between(0.0, 1.0));
  bindParameter("noise_seed", noiseSeed_, "1", check::atLeast(0));
  bindParameter("max_accel_mps2", maxAccel_mps2_, "0.8", check::positive<double>());
  bindParameter("max_angular_accel_radps2", maxAngularAccel_radps2_, "2.0",
                check::positive<double>());
  bindParameter("sensor_range_m", sensorRange_m_, "4.5", check::positive<double>());
  return RTC::RTC_OK;
}

bool BaseSim::startWorld() {
  const basesim::FloorPlanResult loaded = basesim::loadFloorPlan(floorPlanFile_);
  if (!loaded.ok) {
    std::fprintf(stderr, "BaseSim: %s\n", loaded.error.c_str());
    return false;
  }
  basesim::DriveBaseParams base;
  base.footprintRadius_m = footprintRadius_m_;
  base.watchdog_s = watchdog_s_;
  base.maxLinearAccel_mps2 = maxAccel_mps2_;
  base.maxAngularAccel_radps2 = maxAngularAccel_radps2_;
  base.odometryNoise = odometryNoise_;
  base.noiseSeed = static_cast<unsigned>(noiseSeed_);
  basesim::RangeSensorParams sensor;
  sensor.range_m = sensorRange_m_;
  const std::string problem = basesim::checkWorldSetup(loaded.plan, base);
  if (!problem.empty()) {
    std::fprintf(stderr, "BaseSim: %s: %s\n", floorPlanFile_.c_str(), problem.c_str());
    return false;
  }
  world_.set(std::make_shared<basesim::BaseWorld>(loaded.plan, base, sensor, worldClock_));
  odometrySchedule_ = std::make_unique<basesim::OdometrySchedule>(odometryRate_hz_);
  const basesim::WorldPose& start = loaded.plan.start;
  std::printf("BaseSim: floor plan %s: %zu walls, start x=%.3f y=%.3f heading=%.1f deg\n",
              floorPlanFile_.c_str(), loaded.plan.walls.size(), start.x_m, start.y_m,
              start.heading_rad * kRadToDeg);
  if (clock_.scale() != 1.0)
    std::printf("BaseSim: simulated time runs at %g times the wall clock (%s)\n", clock_.scale(),
                shell::kTimeScaleKey);
  std::fflush(stdout);
  return true;
}

RTC::ReturnCode_t BaseSim::onActivated(RTC::UniqueId) {
  // The world lives from the first activation to the end of the process: a later activation
  // continues the same run.
  if (!world_.get() && !startWorld()) return RTC::RTC_ERROR;
  return RTC::RTC_OK;
}

RTC::ReturnCode_t BaseSim::onExecute(RTC::UniqueId) {
  worldWaited_s_.store(worldWaited_s_.load() + worldClock_.tick());
  const auto world = world_.get();
  if (!world) return RTC::RTC_OK;
  bool commanded = false;
  while (commandIn_.isNew()) {
    commandIn_.read();
    commanded = true;
  }
  if (commanded) world->command({command_.data.vx, command_.data.va});
  for (const basesim::BaseEvent& event : world->update()) {
    std::printf("BaseSim: %s\n", basesim::describeEvent(event).c_str());
    std::fflush(stdout);
  }
  const double now_s = worldClock_.now_s();
  const unsigned requests = mapRequests_.load();
  if (requests != mapRequestsSeen_) {
    mapRequestsSeen_ = requests;
    odometrySchedule_->mapRequested(now_s);
  }
  if (odometrySchedule_->due(now_s)) publishOdometry();
  return RTC::RTC_OK;
}

void BaseSim::publishOdometry() {
  const auto world = world_.get();
  const basesim::Odometry odometry = world->odometry();
  const RTC::Time stamp = stampOf(worldClock_.now_s());
  pose_.tm = stamp;
  pose_.data.position.x = odometry.pose.x_m;
  pose_.data.position.y = odometry.pose.y_m;
  pose_.data.heading = odometry.pose.heading_rad;
  poseOut_.write();
  velocity_.tm = stamp;
  velocity_.data.vx = odometry.velocity.vx_mps;
  velocity_.data.vy = 0.0;
  velocity_.data.va = odometry.velocity.va_radps;
  velocityOut_.write();
}

RTC::ReturnCode_t BaseSim::onFinalize() {
  const auto world = world_.get();
  if (world) {
    const basesim::BaseStatus status = world->status();
    std::printf("BaseSim: collisions %d, travelled %.3f m, pose x=%.3f y=%.3f heading=%.1f deg\n",
                status.collisions, status.travelled_m, status.pose.x_m, status.pose.y_m,
                status.pose.heading_rad * kRadToDeg);
    const double waited_s = worldWaited_s_.load();
    if (waited_s >= kReportedWait_s)
      std::printf("BaseSim: the world waited %.1f s of simulated time for its process\n", waited_s);
    std::fflush(stdout);
  }
  return RTC::RTC_OK;
}

extern "C" void BaseSimInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, base_sim_profile, shell::createComponent<BaseSim>,
                                  shell::destroyComponent);
}
