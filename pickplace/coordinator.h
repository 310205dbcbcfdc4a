#pragma once
// The coordinator's state and command cycle: it turns command words into tasks on the worker
// thread and finished or stopped tasks into result words.
//
// Threads: every member function runs on the execution context's thread (or, at the end, on
// the thread that finalizes the component once that context has stopped); a task runs on the
// worker. The worker alone uses the slots, the grasp angles, lastPose and the task's result
// while a task runs; the execution context touches them only after joining it. The running
// flags are set before the worker starts and cleared after it is joined.

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

  // The strings of one received sample.
  using Sample = std::vector<std::string>;

  // One execution-context period with every sample received since the last one, in the order
  // they arrived. Each is taken in turn as the only sample of a period; only the last of them
  // waits for a running task's end. config is the current configuration, taken by a task that
  // starts. Returns the result words to write, in order: a STOP answers with its STOPPED word
  // also when the other task ends in the same period, whose result follows it.
  std::vector<std::string> cycle(const std::vector<Sample>& received, const CellConfig& config);

  // As the component goes inactive or away: a task that has ended is collected and answers
  // with its result; one still running is halted with the protective stop and joined, and
  // answers with its STOPPED word. The word to write; none when no task ran.
  std::optional<std::string> endRunningTask();

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

  // One period with at most one sample; a running task's end is waited for at most
  // workerWait_ms. Appends its result words.
  void period(const Sample* sample, const CellConfig& config, int workerWait_ms,
              std::vector<std::string>& results);
  void initializeRobotPose();
  void initializePlacingSlots(const CellConfig& config);
  void dispatch(const std::string& command, const CellConfig& config,
                std::vector<std::string>& results);
  void startTask(TaskKind kind, const std::string& command, const CellConfig& config);
  // Joins the ended worker and answers with the task's result.
  void collect(std::vector<std::string>& results);
  void stopTask(std::atomic<bool>& running);
  void stopRunningTask();
  // Prints "<< word" and appends it to the words to write.
  void answer(const std::string& word, std::vector<std::string>& results);

  CellLinks& links_;
  Console& console_;

  std::atomic<bool> objectRunning_{false};
  std::atomic<bool> trayRunning_{false};
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> controllerPresent_{false};

  std::string commandText_;
  // Written by the worker as it ends, read after it is joined.
  std::string taskResult_;
  PlacingSlots slots_;
  FingerAngles graspFingerAngles_{};
  JointAngles lastPose_;
  // Declared last: destroyed first, so a task still running ends before the data it uses.
  Thread worker_;
};

}  // namespace pickplace
