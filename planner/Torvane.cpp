#include "Torvane.h"

#include <cstdio>
#include <cstdlib>

#include <shell/component_shell.h>
#include <shell/console_encoding.h>
#include <shell/time_scale.h>

#include "image_data.h"

namespace {

const char* const kStepLogFile = "data_log.txt";
const char* const kRtcConfFile = "rtc.conf";
constexpr int kFatalExitCode = -1;

// Supervisor words that may wait unread, e.g. while the route drives and does not listen.
// When they are all waiting, a writer's put waits up to kWordWait_ms for room and is then
// refused (BUFFER_TIMEOUT): a word is never dropped unseen. The wait stays well below the
// writers' call time-out (dataport.call_timeout_ms, 3 s by default), after which a writer
// would drop the connection.
constexpr int kWaitingWords = 64;
constexpr int kWordWait_ms = 1000;

// LOOP_TIME is both the period and the prediction horizon: from a millisecond, the clock's
// step, to 10 s. The base drives each command a whole period without the planner looking,
// and its prediction has to stay on the 5 m of grid ahead (3 m in 10 s at route speed).
constexpr double kShortestLoopTime_s = 0.001;
// The cycle's velocity command is sent again this often (planner's clock) until the next
// cycle's, for its period and one repeat more: a cycle late by up to that does not let the
// base's watchdog brake it; a later one stops the base where the period ends instead of
// letting it drive on under a command checked for one period only.
constexpr double kCommandRepeat_s = 0.1;
constexpr double kLongestLoopTime_s = 10.0;
// Route speeds from 1 mm/s to 2 m/s: above any mobile base this planner drives, and low
// enough that the speed in mm/s stays a finite float.
constexpr double kSlowestRoute_mps = 0.001;
constexpr double kFastestRoute_mps = 2.0;

// clang-format off
const char* const torvane_spec[] = {
    "implementation_id", "Torvane",
    "type_name",         "Torvane",
    "description",       "ModuleDescription",
    "version",           "2.0.0",
    "vendor",            "Kesta",
    "category",          "Category",
    "activity_type",     "PERIODIC",
    "kind",              "DataFlowComponent",
    "max_instance",      "1",
    "language",          "C++",
    "lang_type",         "compile",
    "conf.default.GOAL_AREA",          "0.200",
    "conf.default.LOOP_TIME",          "0.50",
    "conf.default.ROBOT_ACCELERATION", "0.300",
    "conf.default.ROBOT_MAX_SPEED",    "0.300",
    "conf.default.SETPOINT_1",         "300",
    "conf.default.SETPOINT_2",         "800",
    "conf.default.CHECKPOINT_1",       "500",
    "conf.default.CHECKPOINT_2",       "800",
    "conf.default.CHECKPOINT_3",       "1000",
    "conf.default.CHECKPOINT_4",       "1000",
    "conf.__widget__.GOAL_AREA",          "text",
    "conf.__widget__.LOOP_TIME",          "text",
    "conf.__widget__.ROBOT_ACCELERATION", "text",
    "conf.__widget__.ROBOT_MAX_SPEED",    "text",
    "conf.__widget__.SETPOINT_1",         "text",
    "conf.__widget__.SETPOINT_2",         "text",
    "conf.__widget__.CHECKPOINT_1",       "text",
    "conf.__widget__.CHECKPOINT_2",       "text",
    "conf.__widget__.CHECKPOINT_3",       "text",
    "conf.__widget__.CHECKPOINT_4",       "text",
    ""};
// clang-format on

void print(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

}  // namespace

Torvane::Torvane(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager),
      robotPoseIn_("robot_pose", robotPose_),
      robotVelocityIn_("robot_velocity", robotVelocity_),
      subgoalWaypointIn_("subgoal_waypoint", subgoalWaypoint_),
      inMessageIn_("in_message", inMessage_, kWaitingWords, /*read_block=*/false,
                   /*write_block=*/true, /*read_timeout_ms=*/0, kWordWait_ms),
      robotControlOut_("robot_control", robotControl_),
      planningImgOut_("planning_img", planningImg_),
      messageOut_("message", message_),
      relativeMapServicePort_("RelativeMapService"),
      clock_(shell::timeScaleOf(manager->getConfig())),
      cycle_(settings_, *this, clock_, planner::PlannerFiles{"MotionSet.mtn", kStepLogFile}),
      keepAlive_(kCommandRepeat_s) {
  if (!cycle_.openStepLog()) {
    std::fprintf(stderr, "Torvane: cannot create the step log %s\n", kStepLogFile);
    std::exit(kFatalExitCode);
  }
}

Torvane::~Torvane() {
  stopKeepAlive();
  cycle_.closeStepLog();
}

RTC::ReturnCode_t Torvane::onInitialize() {
  print("Torvane: onInitialize\n");
  addInPort("robot_pose", robotPoseIn_);
  addInPort("robot_velocity", robotVelocityIn_);
  addInPort("subgoal_waypoint", subgoalWaypointIn_);
  addInPort("in_message", inMessageIn_);
  addOutPort("robot_control", robotControlOut_);
  addOutPort("planning_img", planningImgOut_);
  addOutPort("message", messageOut_);
  relativeMapServicePort_.registerConsumer("RelativeMapService", "Zemla::RelativeMapService",
                                           relativeMapService_);
  addPort(relativeMapServicePort_);

  planner::PlannerSettings& s = settings_;
  const auto distance_m = RTC::check::atLeast(0.0);
  const auto distance_mm = RTC::check::atLeast(0.0f);
  bindParameter("GOAL_AREA", s.goalArea_m, "0.200", distance_m);
  bindParameter("LOOP_TIME", s.loopTime_s, "0.100",
                RTC::check::between(kShortestLoopTime_s, kLongestLoopTime_s));
  bindParameter("ROBOT_ACCELERATION", s.robotAcceleration_mps2, "0.300",
                RTC::check::positive<double>());
  bindParameter("ROBOT_MAX_SPEED", s.robotMaxSpeed_mps, "0.300",
                RTC::check::between(kSlowestRoute_mps, kFastestRoute_mps));
  bindParameter("SETPOINT_1", s.route.setpoint1_mm, "800", distance_mm);
  bindParameter("SETPOINT_2", s.route.setpoint2_mm, "1500", distance_mm);
  bindParameter("CHECKPOINT_1", s.route.checkpoint1_mm, "1000", distance_mm);
  bindParameter("CHECKPOINT_2", s.route.checkpoint2_mm, "1500", distance_mm);
  bindParameter("CHECKPOINT_3", s.route.checkpoint3_mm, "1000", distance_mm);
  bindParameter("CHECKPOINT_4", s.route.checkpoint4_mm, "1000", distance_mm);

  const std::optional<double> rate = planner::readRunFrequency(kRtcConfFile);
  if (rate) {
    char line[64];
    std::snprintf(line, sizeof line, "Run Frequency：%.2lf\n", *rate);
    print(shell::consoleText(line));
  } else {
    print("rtc.conf:Failed to open the file.\n");
    exit();
  }
  if (clock_.timeScale() != 1.0)
    RTC_LOG(logger(), INFO, "%s %g: the planner's pacing and timings run on simulated time",
            shell::kTimeScaleKey, clock_.timeScale());
  cycle_.initialize();
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Torvane::onFinalize() {
  print("Torvane: onFinalizedd\n");
  cycle_.finalize();
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Torvane::onActivated(RTC::UniqueId) {
  print("Torvane: onActivated\n");
  running_ = true;
  startKeepAlive();
  if (const std::optional<std::string> refusal = cycle_.activate()) {
    print(*refusal);
    std::getchar();
    std::exit(kFatalExitCode);
  }
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Torvane::onDeactivated(RTC::UniqueId) {
  running_ = false;
  print(
      "\n\n##########################################\n"
      "Torvane: onDeactivated\n"
      "##########################################\n");
  stopKeepAlive();
  cycle_.deactivate();
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Torvane::onExecute(RTC::UniqueId) {
  cycle_.execute();
  mapReply_ = nullptr;
  return RTC::RTC_OK;
}

bool Torvane::takeMessage(std::string& text) {
  while (inMessageIn_.isNew()) {
    // A sample that is no string is logged by the port and skipped.
    if (!inMessageIn_.read()) continue;
    text = static_cast<const char*>(inMessage_.data);
    return true;
  }
  return false;
}

void Torvane::sendMessage(const std::string& text) {
  message_.data = text.c_str();
  messageOut_.write();
}

void Torvane::sendVelocity(double vx_mps, double va_radps) {
  const planner::VelocityCommand command{vx_mps, va_radps};
  std::lock_guard<std::mutex> lock(commandMutex_);
  writeVelocity(command);
  keepAlive_.commanded(command, clockSeconds(), settings_.loopTime_s + kCommandRepeat_s);
}

double Torvane::clockSeconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - clockStart_).count() *
         clock_.timeScale();
}

void Torvane::writeVelocity(const planner::VelocityCommand& command) {
  robotControl_.data.vx = command.vx_mps;
  robotControl_.data.va = command.va_radps;
  robotControlOut_.write();
}

void Torvane::startKeepAlive() {
  stopKeepAlive();
  {
    std::lock_guard<std::mutex> lock(commandMutex_);
    keepAlive_.clear();
    keepAliveStop_ = false;
  }
  keepAliveThread_ = std::thread(&Torvane::keepAliveLoop, this);
}

void Torvane::stopKeepAlive() {
  if (!keepAliveThread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(commandMutex_);
    keepAliveStop_ = true;
    keepAlive_.clear();
  }
  keepAliveWake_.notify_all();
  keepAliveThread_.join();
}

void Torvane::keepAliveLoop() {
  // Looks a few times per repeat period, in wall-clock time.
  const auto look = std::chrono::duration<double>(kCommandRepeat_s / 4.0 / clock_.timeScale());
  std::unique_lock<std::mutex> lock(commandMutex_);
  while (!keepAliveStop_) {
    keepAliveWake_.wait_for(lock, look);
    if (keepAliveStop_) break;
    if (const auto command = keepAlive_.repeatDue(clockSeconds())) writeVelocity(*command);
  }
}

planner::MapServiceState Torvane::mapServiceState() {
  if (CORBA::is_nil(relativeMapService_._ptr())) return planner::MapServiceState::NotConnected;
  try {
    if (relativeMapService_._ptr()->_non_existent()) return planner::MapServiceState::NotActive;
  } catch (const CORBA::Exception&) {
    // An unreachable provider is as good as a missing one.
    return planner::MapServiceState::NotActive;
  }
  return planner::MapServiceState::Present;
}

planner::MapFetch Torvane::fetchMap() {
  try {
    mapReply_ = relativeMapService_->getFloatRelativeOGMap();
  } catch (const CORBA::Exception& failure) {
    mapReply_ = nullptr;
    return planner::MapFetch{{}, std::string("map service call raised ") + failure._name()};
  }
  return planner::MapFetch{planner::viewOf(mapReply_.in()), std::nullopt};
}

bool Torvane::poseIsNew() { return robotPoseIn_.isNew(); }

// Odometry that came while the planner was not reading (before its first cycle, while it was
// inactive) queues in the in-port, and the base then sends one sample per cycle: steering on
// the oldest would steer on where the base was seconds ago. Each read takes every waiting sample
// and keeps the newest.
planner::OdometryPose Torvane::readPose() {
  while (robotPoseIn_.isNew()) robotPoseIn_.read();
  const RTC::Pose2D& pose = robotPose_.data;
  return planner::OdometryPose{pose.position.x, pose.position.y, pose.heading};
}

bool Torvane::velocityIsNew() { return robotVelocityIn_.isNew(); }

planner::OdometryVelocity Torvane::readVelocity() {
  while (robotVelocityIn_.isNew()) robotVelocityIn_.read();
  return planner::OdometryVelocity{robotVelocity_.data.vx, robotVelocity_.data.va};
}

// A deactivation, exit or shutdown waits for this cycle to return: stop pacing or waiting for
// odometry.
bool Torvane::keepWaiting() { return running_ && !isDeactivationPending(); }

void Torvane::publishImage(const cv::Mat& image) {
  planner::toImageData(image, planningImg_);
  planningImgOut_.write();
}

std::string Torvane::consoleText(const std::string& utf8) { return shell::consoleText(utf8); }

extern "C" void TorvaneInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, torvane_spec, shell::createComponent<Torvane>,
                                  shell::destroyComponent);
}
