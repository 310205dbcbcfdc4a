#pragma once
// What a task running on the worker thread works with, and the steps both tasks share: the
// reachability checks and the execution of a plan.

#include <atomic>
#include <string>

#include "cell_config.h"
#include "cell_links.h"
#include "console.h"
#include "operation_node.h"
#include "placing_slots.h"
#include "task_result.h"

namespace pickplace {

struct TaskContext {
  // Taken when the task starts.
  CellConfig config;
  bool controllerPresent;
  // Set by the execution context when it stops the task; a plan is then not sent.
  const std::atomic<bool>& stopRequested;
  // The component's, used by one task at a time.
  PlacingSlots& slots;
  FingerAngles& graspFingerAngles;
  JointAngles& lastPose;
  CellLinks& links;
  Console& console;
};

// Done when `arm` reaches `pose` with the chest at chest_rad; otherwise failed with `check`,
// the numbered message of that check, as the reason.
Outcome checkReach(TaskContext& task, Arm arm, const HandPose& pose, double chest_rad,
                   const char* check);
// Both hands at once: both queries are made and both must answer yes.
Outcome checkReachLR(TaskContext& task, const HandPose& left, const HandPose& right,
                     double chest_rad, const char* check);

// Converts the list starting from `start` (or lastPose when null) and, when the controller
// was present at activation and no stop has come, sends it as one trajectory. lastPose
// becomes the converted final pose even when nothing is sent. Done when the controller
// answers 0.
Outcome executeAction(TaskContext& task, const OperationList& list, const JointAngles* start);

// The task's result word: `finished` when it is done, otherwise `error` after every line of
// the failure on the error stream.
std::string resultWord(TaskContext& task, const Outcome& outcome, const char* finished,
                       const char* error);

}  // namespace pickplace
