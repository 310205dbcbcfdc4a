#include "task_context.h"

#include "motion_conversion.h"

namespace pickplace {
namespace {

bool answer(TaskContext& task, IkStatus status) {
  if (status == IkStatus::peerFailed) {
    task.peerFailed = true;
  }
  return status == IkStatus::found;
}

}  // namespace

bool checkReach(TaskContext& task, Arm arm, const HandPose& pose, double chest_rad) {
  return answer(task, task.links.isSolutionFound(arm, pose, chest_rad));
}

bool checkReachLR(TaskContext& task, const HandPose& left, const HandPose& right,
                  double chest_rad) {
  const bool leftFound = checkReach(task, Arm::left, left, chest_rad);
  if (task.peerFailed) {
    return false;
  }
  const bool rightFound = checkReach(task, Arm::right, right, chest_rad);
  return leftFound && rightFound;
}

long executeAction(TaskContext& task, const OperationList& list, const JointAngles* start) {
  task.console.print("Action (Common I/F)");
  const auto conversion =
      Hiro2HiroNX(list, start ? *start : task.lastPose, task.links, task.console, task.peerFailed);
  if (!conversion) {
    return kActionNotConverted;
  }
  task.lastPose = conversion->finalPose;
  if (!task.controllerPresent) {
    return kActionNotSent;
  }
  long id = kActionNotSent;
  const CallStatus status = task.links.moveJoints(conversion->trajectory, id);
  if (status == CallStatus::peerFailed) {
    task.peerFailed = true;
  }
  return status == CallStatus::ok ? id : kActionNotSent;
}

}  // namespace pickplace
