#pragma once
// The coordinator's state and command cycle: it turns command words into tasks on the worker
// thread and finished or stopped tasks into result words.
//
// Threads: every member function runs on the execution context's thread; a task runs on the
// worker. The worker alone uses the slots, the grasp angles, lastPose and resultText while
// a task runs; the execution context touches them only after joining it. The running flags
// are set before the worker starts and cleared after it is joined.

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "cell_config.h"
#include "cell_links.h"
#include "console.h"
#include "placing_slots.h"
#include "worker_thread.h"

namespace pickplace {

class Coordinator {
 public:
  // links and console must outlive the coordinator.
  Coordinator(CellLinks& links, Console& console);
  Coordinator(const Coordinator&) = delete;
  Coordinator& operator=(const Coordinator&) = delete;

  // Robot pose and placing slots, the latter from config's pallet position.
  void initialize(const CellConfig& config);

  // Stops a running task, frees every slot and moves the robot to its initial pose over 2 s.
  void activate();

  // One execution-context period. sample is the received string sequence, or null when none
  // arrived; config is the current configuration, taken by a task that starts. Returns the
  // result word to write, if any.
  std::optional<std::string> cycle(const std::vector<std::string>* sample,
                                   const CellConfig& config);

  // At shutdown: stops the running task unless a stop was performed since activation.
  void deactivate();

  bool taskRunning() const { return objectRunning_ || trayRunning_; }
  // True when the running task's worker has ended; the next cycle collects it.
  bool taskEnded() { return taskRunning() && worker_.poll(0); }
  bool controllerPresent() const { return controllerPresent_; }
  const std::string& commandText() const { return commandText_; }
  // Read only while no task runs.
  const PlacingSlots& placingSlots() const { return slots_; }
  const JointAngles& lastPose() const { return lastPose_; }

 private:
  enum class TaskKind { object, tray };

  void initializeRobotPose();
  void initializePlacingSlots(const CellConfig& config);
  void dispatch(const std::string& command, const CellConfig& config, bool& send);
  void startTask(TaskKind kind, const std::string& command, const CellConfig& config);
  void stopTask(std::atomic<bool>& running);
  void stopRunningTask();

  CellLinks& links_;
  Console& console_;

  std::atomic<bool> objectRunning_{false};
  std::atomic<bool> trayRunning_{false};
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> controllerPresent_{false};

  std::string commandText_;
  std::string resultText_;
  PlacingSlots slots_;
  FingerAngles graspFingerAngles_{};
  JointAngles lastPose_;
  // Declared last: destroyed first, so a task still running ends before the data it uses.
  Thread worker_;
};

}  // namespace pickplace
