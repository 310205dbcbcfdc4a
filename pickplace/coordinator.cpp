#include "coordinator.h"

#include "command_words.h"
#include "joint_angles.h"
#include "object_task.h"
#include "task_context.h"
#include "tray_task.h"

namespace pickplace {
namespace {

// The robot reaches its initial pose in this time on activation.
constexpr double kInitialPoseMoveTime_s = 2.0;
// How long the last command of a period waits for the worker's end.
constexpr int kWorkerPoll_ms = 5;
// A command shorter than this is only recorded.
constexpr std::size_t kMinCommandLength = 6;
constexpr std::size_t kCommandKindIndex = 5;

// True for a string that starts with "HIRO", and for any beginning of "HIRO" (empty too).
bool beginsWithHiro(const std::string& text) {
  static const std::string hiro = "HIRO";
  const std::size_t n = std::min(text.size(), hiro.size());
  return text.compare(0, n, hiro, 0, n) == 0;
}

std::string initialPoseLines(const std::vector<double>& point_deg) {
  const double* p = point_deg.data();
  return formatText("(Body/Head): %+6.1f, %+6.1f, %+6.1f\n", p[0], p[1], p[2]) +
         formatText("( Arm   R ): %+6.1f, %+6.1f, %+6.1f, %+6.1f, %+6.1f, %+6.1f\n", p[3], p[4],
                    p[5], p[6], p[7], p[8]) +
         formatText("( Arm   L ): %+6.1f, %+6.1f, %+6.1f, %+6.1f, %+6.1f, %+6.1f\n", p[9], p[10],
                    p[11], p[12], p[13], p[14]) +
         formatText("( Hand  R ): %+6.1f, %+6.1f, %+6.1f, %+6.1f\n", p[15], p[16], p[17], p[18]) +
         formatText("( Hand  L ): %+6.1f, %+6.1f, %+6.1f, %+6.1f\n", p[19], p[20], p[21], p[22]);
}

}  // namespace

Coordinator::Coordinator(CellLinks& links, Console& console)
    : links_(links), console_(console), worker_(console) {}

void Coordinator::initialize(const CellConfig& config) {
  initializeRobotPose();
  initializePlacingSlots(config);
}

void Coordinator::initializeRobotPose() {
  // Once per process, as the robot has one initial pose.
  static std::atomic<bool> initialized{false};
  console_.print("[Initialize] initializing robot pose...");
  if (initialized.exchange(true)) {
    console_.print("already initialized\n");
    return;
  }
  console_.print("OK\n");
}

void Coordinator::initializePlacingSlots(const CellConfig& config) {
  console_.print("[Initialize] initializing placing slot...");
  slots_.initialize(config.xPalletPlacedB_m, config.zPalletPlacedB_m);
  console_.print("OK\n");
}

void Coordinator::activate() {
  // Re-activation while a task runs would otherwise lose the worker and hold the slot.
  stopRunningTask();
  objectRunning_ = false;
  trayRunning_ = false;
  stopRequested_ = false;
  controllerPresent_ = false;
  slots_.clear();
  console_.print("[Activate] initial robot pose...");
  if (links_.motionConnected() && links_.hiroNxConnected()) {
    controllerPresent_ = true;
    Trajectory toInitial;
    toInitial.points_deg.push_back(controllerPointDeg(fullWorkingPose(initialPose())));
    toInitial.times_s.push_back(kInitialPoseMoveTime_s);
    console_.print(initialPoseLines(toInitial.points_deg.front()));
    links_.disengageProtectiveStop();
    long id = 0;
    links_.moveJoints(toInitial, id);
  } else {
    console_.error("Palkett::activate(): HIROController and HiroNX not found.");
  }
  console_.print("OK\n");
}

std::vector<std::string> Coordinator::cycle(const std::vector<Sample>& received,
                                            const CellConfig& config) {
  std::vector<std::string> results;
  if (received.empty()) {
    period(nullptr, config, kWorkerPoll_ms, results);
  }
  for (std::size_t i = 0; i < received.size(); ++i) {
    const bool last = i + 1 == received.size();
    period(&received[i], config, last ? kWorkerPoll_ms : 0, results);
  }
  return results;
}

void Coordinator::period(const Sample* sample, const CellConfig& config, int workerWait_ms,
                         std::vector<std::string>& results) {
  // A sample without strings carries no command.
  if (sample && !sample->empty()) {
    const std::string& command = sample->front();
    if (beginsWithHiro(command)) {
      commandText_ = command;
      if (command.size() < kMinCommandLength) {
        return;
      }
      console_.print(">> " + command + "\n");
      dispatch(command, config, results);
    } else if (command == kFinish) {
      activate();
      answer("", results);
    }
  }
  if (taskRunning() && worker_.poll(workerWait_ms)) {
    collect(results);
  }
}

void Coordinator::dispatch(const std::string& command, const CellConfig& config,
                           std::vector<std::string>& results) {
  switch (command[kCommandKindIndex]) {
    case 'O':
      if (command == kObjectStop) {
        stopTask(objectRunning_);
        answer(kObjectStopped, results);
      } else if (command == kObjectStart) {
        startTask(TaskKind::object, command, config);
      }
      break;
    case 'T':
      if (command == kTrayStop) {
        stopTask(trayRunning_);
        answer(kTrayStopped, results);
      } else if (command == kTrayStart) {
        startTask(TaskKind::tray, command, config);
      }
      break;
    default:
      break;
  }
}

void Coordinator::collect(std::vector<std::string>& results) {
  worker_.join();
  objectRunning_ = false;
  trayRunning_ = false;
  answer(taskResult_, results);
}

void Coordinator::answer(const std::string& word, std::vector<std::string>& results) {
  console_.print("<< " + word + "\n");
  results.push_back(word);
}

std::optional<std::string> Coordinator::endRunningTask() {
  if (!taskRunning()) {
    return std::nullopt;
  }
  std::vector<std::string> results;
  if (worker_.poll(0)) {
    collect(results);
  } else if (objectRunning_) {
    stopTask(objectRunning_);
    answer(kObjectStopped, results);
  } else {
    stopTask(trayRunning_);
    answer(kTrayStopped, results);
  }
  return results.front();
}

void Coordinator::startTask(TaskKind kind, const std::string& command, const CellConfig& config) {
  // One worker slot: a second task would leave its flag set with no worker behind it.
  if (taskRunning()) {
    console_.error("Palkett::onExecute(): " + command + " refused: a task is running.");
    return;
  }
  (kind == TaskKind::object ? objectRunning_ : trayRunning_) = true;
  const bool present = controllerPresent_;
  worker_.start([this, kind, config, present] {
    TaskContext task{config,    present, stopRequested_, slots_, graspFingerAngles_,
                     lastPose_, links_,  console_};
    taskResult_ = kind == TaskKind::object ? processObj(task) : processTray(task);
  });
}

void Coordinator::stopTask(std::atomic<bool>& running) {
  if (!running) {
    return;
  }
  // First, so that a plan not yet sent never is, whether or not the robot can be halted.
  stopRequested_ = true;
  if (!links_.hiroNxConnected()) {
    console_.error(
        "Palkett::stopTask(): HiroNX not found; cannot halt the robot, waiting for the task to "
        "end.");
  } else {
    links_.engageProtectiveStop();
  }
  worker_.join();
  running = false;
}

void Coordinator::stopRunningTask() {
  stopTask(objectRunning_);
  stopTask(trayRunning_);
}

void Coordinator::deactivate() {
  if (stopRequested_) {
    return;
  }
  console_.print("[Deactivate] stopping manipulation thread...");
  stopRunningTask();
  console_.print("OK\n");
}

}  // namespace pickplace
