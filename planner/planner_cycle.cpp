#include "planner_cycle.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "collision.h"
#include "planning_image.h"
#include "subgoal.h"

namespace planner {
namespace {

constexpr std::uint32_t kActivationWait_ms = 2000;
constexpr double kMsPerS = 1000.0;
constexpr double kDegPerRadPrint = 57.295780490442965;
constexpr int kSubgoalLineSearchFailure = 449;
const char* const kRateKey = "exec_cxt.periodic.rate:";

void flushConsole() { std::fflush(stdout); }

std::string format(const char* pattern, double value) {
  char text[128];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

}  // namespace

std::string memoryConsumptionText(std::int32_t bytes) {
  if (bytes < 1000) {
    char text[64];
    std::snprintf(text, sizeof text, "Memory consumption：%d Byte\n", bytes);
    return text;
  }
  if (bytes < 1000000) return format("Memory consumption：%.1lf KByte\n", bytes / 1000.0);
  if (bytes < 1000000000) return format("Memory consumption：%.1lf MByte\n", bytes / 1e6);
  return format("Memory consumption：%.1lf GByte\n", bytes / 1e9);
}

std::optional<double> readRunFrequency(const std::string& fileName) {
  std::ifstream file(fileName);
  if (!file) return std::nullopt;
  double rate = 0.0;
  std::string word;
  while (file >> word) {
    if (word != kRateKey) continue;
    std::string value;
    if (!(file >> value)) break;
    rate = std::atof(value.c_str());
  }
  return rate;
}

PlannerCycle::PlannerCycle(const PlannerSettings& settings, PlannerIo& io, MillisecondClock& clock,
                           PlannerFiles files)
    : settings_(settings),
      io_(io),
      clock_(clock),
      files_(std::move(files)),
      route_(settings.route) {}

bool PlannerCycle::openStepLog() { return stepLog_.open(files_.stepLog); }

void PlannerCycle::initialize() {
  path_.reset(PlannerPose{});
  directCommand_ = false;
  statusFlags_ = 0;
  totalComputation_ms_ = maxComputation_ms_ = 0;
  if (!gridAllocated_) {
    grid_.clear();
    memory_.add(grid_.bytesAllocated());
    gridAllocated_ = true;
  }
}

void PlannerCycle::finalize() {
  if (!gridAllocated_) return;
  memory_.subtract(grid_.bytesAllocated());
  gridAllocated_ = false;
}

std::optional<std::string> PlannerCycle::activate() {
  loopTime_s_ = settings_.loopTime_s;
  maxSpeed_mmps_ = static_cast<float>(settings_.robotMaxSpeed_mps * kMsPerS);

  // The pause gives way like the cycle's waits; the activation then completes at once.
  const std::uint32_t waitStart_ms = clock_.now_ms();
  while (clock_.now_ms() - waitStart_ms < kActivationWait_ms && io_.keepWaiting())
    clock_.sleepOneMillisecond();
  std::printf("waiting completed.\n");

  motionSet_.clear();
  const MotionFile file = readMotionFile(files_.motionSet);
  if (!file.error.empty()) {
    flushConsole();
    return file.error;
  }
  motionSet_ = expandMotionSet(file.primitives);
  std::printf("%s", formatMotionSet(motionSet_).c_str());

  createImages();
  grid_.clear();
  totalComputation_ms_ = maxComputation_ms_ = 0;
  statusFlags_ = 0;
  directCommand_ = false;
  frame_ = PlannerFrame(PlannerPose{});
  path_.reset(frame_.start());
  activation_ms_ = clock_.now_ms();
  route_.reset(maxSpeed_mmps_);
  flushConsole();
  return std::nullopt;
}

void PlannerCycle::createImages() {
  releaseImages();
  mapImage_ = makeMapImage();
  planningImage_ = makePlanningImage();
  keptImage_ = makePlanningImage();
  for (const cv::Mat* image : {&mapImage_, &planningImage_, &keptImage_})
    memory_.add(imageBytes(*image));
}

void PlannerCycle::releaseImages() {
  for (cv::Mat* image : {&mapImage_, &planningImage_, &keptImage_}) {
    if (image->empty()) continue;
    memory_.subtract(imageBytes(*image));
    image->release();
  }
}

void PlannerCycle::deactivate() {
  stopRobot();
  const std::uint32_t deactivation_ms = clock_.now_ms();
  std::printf("Total time:%d msec\n", static_cast<int>(deactivation_ms - activation_ms_));
  char line[160];
  if (path_.step() != 0) {
    std::snprintf(
        line, sizeof line,
        "Total computation time：% dmsec  An average computation time of the loop：%d msec\n",
        static_cast<int>(totalComputation_ms_),
        static_cast<int>(totalComputation_ms_ / static_cast<std::uint32_t>(path_.step())));
    std::printf("%s", io_.consoleText(line).c_str());
  }
  std::snprintf(line, sizeof line, "The maximum computation time：%d msec\n",
                static_cast<int>(maxComputation_ms_));
  std::printf("%s", io_.consoleText(line).c_str());
  releaseImages();
  std::printf("onDeactivate Complete\n");
  flushConsole();
}

bool PlannerCycle::pace() {
  if (path_.step() == 0) {
    cycleStart_ms_ = clock_.now_ms();
    std::printf("--------------------\nonExecute start\tstep=0\n--------------------\n");
    return true;
  }
  while ((clock_.now_ms() - cycleStart_ms_) / kMsPerS < loopTime_s_) {
    if (!io_.keepWaiting()) return false;
    clock_.sleepOneMillisecond();
  }
  const std::uint32_t now_ms = clock_.now_ms();
  std::printf(
      "--------------------\nonExecute Start \tstep=%d call period t :%.3lf[sec]\n"
      "--------------------\n",
      path_.step(), (now_ms - cycleStart_ms_) / kMsPerS);
  cycleStart_ms_ = now_ms;
  return true;
}

void PlannerCycle::sendPlannedVelocity() {
  const PathRecord& next = path_.executing();
  const double vx_mps = next.v_mmps * 0.001;
  const double va_radps = next.r_mm == 0.0f ? 0.0 : static_cast<double>(next.v_mmps / -next.r_mm);
  io_.sendVelocity(vx_mps, va_radps);
  std::printf("m_robot_control::Velocity:%.6lf[m/s] Radius:%.6lf[rad/s]\n", vx_mps, va_radps);
}

void PlannerCycle::stopRobot() { io_.sendVelocity(0.0, 0.0); }

bool PlannerCycle::mapServiceMissing() {
  switch (io_.mapServiceState()) {
    case MapServiceState::Present:
      return false;
    case MapServiceState::NotConnected:
      std::printf("Service port is not conected with service provider.\n");
      break;
    case MapServiceState::NotActive:
      std::printf("Service provider is not activated.\n");
      break;
  }
  statusFlags_ |= kStatusMapMissing;
  std::printf("Local map service is not connected\n");
  publishPlanningImage();
  return true;
}

bool PlannerCycle::rebuildGridFromService() {
  const MapFetch fetch = io_.fetchMap();
  std::optional<std::string> fault = fetch.failure;
  if (!fault) fault = rebuildLocalGrid(fetch.map, mapImage_, grid_);
  if (!fault) return true;
  std::fprintf(stderr, "Local map unusable: %s\n", fault->c_str());
  stopRobot();
  statusFlags_ |= kStatusMapMissing;
  publishPlanningImage();
  return false;
}

bool PlannerCycle::waitForMotion() {
  // The operator sees what the cycle did before it waits.
  flushConsole();
  const std::uint32_t start_ms = clock_.now_ms();
  while (!io_.poseIsNew()) {
    if (!io_.keepWaiting()) return false;
    clock_.sleepOneMillisecond();
  }
  motion_.takePose(io_.readPose());
  std::printf("Robot position acquisition time: %d[msec]\n",
              static_cast<int>(clock_.now_ms() - start_ms));
  while (!io_.velocityIsNew()) {
    if (!io_.keepWaiting()) return false;
    clock_.sleepOneMillisecond();
  }
  motion_.takeVelocity(io_.readVelocity());
  return true;
}

void PlannerCycle::publishPlanningImage() {
  drawStatus(planningImage_, statusFlags_);
  io_.publishImage(planningImage_);
  planningImage_.setTo(cv::Scalar::all(0));
}

void PlannerCycle::advanceStep() {
  if (path_.advance()) std::printf("Path Number Exceed....Restarting path....\n");
}

void PlannerCycle::holdPosition() {
  path_.freezeLookAhead(0.0f, 0.0f);
  advanceStep();
  if (!startMarker_) startMarker_ = frame_.start().position();
  drawGrid(grid_, planningImage_);
  drawHoldOverlays(planningImage_, robotState_, *startMarker_, path_, statusFlags_);
  publishPlanningImage();
}

void PlannerCycle::completeCycle(GridCell goal) {
  markPredictedCell(grid_, path_);
  drawGrid(grid_, planningImage_);
  std::printf("subgoal calc start\n");
  if (selectSubgoal(grid_, path_.current().pose).lineSearchFailed)
    std::printf("Something wrong at LINE %d\n\a", kSubgoalLineSearchFailure);
  drawGoalAndRobot(planningImage_, goal);
  planningImage_.copyTo(keptImage_);
  io_.publishImage(planningImage_);
  planningImage_.setTo(cv::Scalar::all(0));

  const std::uint32_t computation_ms = clock_.now_ms() - cycleStart_ms_;
  totalComputation_ms_ += computation_ms;
  if (computation_ms > maxComputation_ms_) maxComputation_ms_ = computation_ms;
  // The step log's per-step value is the cycle's computation time.
  stepValue_ = static_cast<std::int32_t>(computation_ms);
  stepLog_.append(stepValue_, path_);

  advanceStep();
  directCommand_ = false;
  std::printf("%s", io_.consoleText(memoryConsumptionText(memory_.inUse_bytes())).c_str());
  std::printf("calculation period for this step : %d [msec]\n",
              static_cast<int>(clock_.now_ms() - cycleStart_ms_));
}

void PlannerCycle::predictAndPrint() {
  robotState_ = predictPose(path_, frame_, motion_, loopTime_s_);
  const PlannerPose& now = path_.current().pose;
  std::printf("%s", io_.consoleText(format("Robot is here：x=%.2f", now.x_mm) +
                                    format(" , y=%.2lf", now.y_mm) +
                                    format(" , direction=%.2lf\n", now.theta_rad * kDegPerRadPrint))
                        .c_str());
  const PlannerPose& next = path_.executing().pose;
  std::printf("path predict x=%f y=%f theta=%f\n", next.x_mm, next.y_mm, next.theta_rad);
}

bool PlannerCycle::followRoute(const RouteOutcome& outcome) {
  if (outcome.report) io_.sendMessage(*outcome.report);
  if (outcome.direct) {
    io_.sendVelocity(outcome.direct->vx_mps, outcome.direct->va_radps);
    directCommand_ = true;
  }
  if (outcome.resumePlanned) directCommand_ = false;
  switch (outcome.then) {
    case AfterRouteStep::Continue:
      return true;
    case AfterRouteStep::HoldPosition:
      holdPosition();
      return false;
    case AfterRouteStep::EndCycle:
      return false;
  }
  return false;
}

void PlannerCycle::stopForPredictedCollision() {
  const bool offGrid = !path_.executing().local_pose.inside();
  stopRobot();
  statusFlags_ |= kStatusCollision;
  holdPosition();
  std::printf(offGrid ? "path[step+1].local_pose.x == -1\n" : "danger!!!:COLLISION\n");
  std::printf("continue\n");
}

void PlannerCycle::execute() {
  statusFlags_ = 0;
  if (!pace()) return;
  if (!directCommand_) sendPlannedVelocity();
  if (!mapServiceMissing() && rebuildGridFromService() && waitForMotion()) {
    predictAndPrint();
    if (followRoute(route_.step(grid_, path_, io_))) {
      const GridCell goal = markGoalArea(grid_, path_.current().pose);
      if (isPredictedPoseBlocked(grid_, path_))
        stopForPredictedCollision();
      else
        completeCycle(goal);
    }
  }
  flushConsole();
}

}  // namespace planner
