#pragma once
// What a task running on the worker thread works with, and the execution of a plan.

#include "cell_config.h"
#include "cell_links.h"
#include "console.h"
#include "operation_node.h"
#include "placing_slots.h"

namespace pickplace {

// executeAction's codes besides the controller's own id.
constexpr long kActionSucceeded = 0;
constexpr long kActionNotSent = -1;
constexpr long kActionNotConverted = -2;

struct TaskContext {
  // Taken when the task starts.
  CellConfig config;
  bool controllerPresent;
  // The component's, used by one task at a time.
  PlacingSlots& slots;
  FingerAngles& graspFingerAngles;
  JointAngles& lastPose;
  CellLinks& links;
  Console& console;
  // Set when an outside call failed; that call was reported and the task ends without
  // further failure lines.
  bool peerFailed = false;
};

// Whether `arm` reaches `pose` with the chest at chest_rad. Records a failed call.
bool checkReach(TaskContext& task, Arm arm, const HandPose& pose, double chest_rad);
// Both hands at once: both queries are made and both must answer yes.
bool checkReachLR(TaskContext& task, const HandPose& left, const HandPose& right, double chest_rad);

// Converts the list starting from `start` (or lastPose when null) and, when the controller
// was present at activation, sends it as one trajectory. lastPose becomes the converted
// final pose even when nothing is sent. Returns kActionSucceeded, kActionNotSent,
// kActionNotConverted or the controller's non-zero id.
long executeAction(TaskContext& task, const OperationList& list, const JointAngles* start);

}  // namespace pickplace
