#include "task_context.h"

#include "motion_conversion.h"

namespace pickplace {
namespace {

constexpr long kControllerSucceeded = 0;

}  // namespace

Outcome checkReach(TaskContext& task, Arm arm, const HandPose& pose, double chest_rad,
                   const char* check) {
  switch (task.links.isSolutionFound(arm, pose, chest_rad)) {
    case IkStatus::found:
      return done();
    case IkStatus::notFound:
      return TaskFailure(FailureCause::unreachable, check);
    case IkStatus::callFailed:
      break;
  }
  return TaskFailure(FailureCause::callFailed);
}

Outcome checkReachLR(TaskContext& task, const HandPose& left, const HandPose& right,
                     double chest_rad, const char* check) {
  // A failed call ends the check at once; it was reported where it failed.
  const auto callFailed = [](const Outcome& reach) {
    return !reach && reach.failure().cause() == FailureCause::callFailed;
  };
  Outcome leftReach = checkReach(task, Arm::left, left, chest_rad, check);
  if (callFailed(leftReach)) {
    return leftReach;
  }
  Outcome rightReach = checkReach(task, Arm::right, right, chest_rad, check);
  return callFailed(rightReach) || leftReach ? rightReach : leftReach;
}

Outcome executeAction(TaskContext& task, const OperationList& list, const JointAngles* start) {
  task.console.print("Action (Common I/F)");
  Result<Conversion> conversion =
      Hiro2HiroNX(list, start ? *start : task.lastPose, task.links, task.console);
  if (!conversion) {
    return conversion.takeFailure();
  }
  task.lastPose = conversion->finalPose;
  if (!task.controllerPresent) {
    return TaskFailure(FailureCause::noController);
  }
  if (task.stopRequested) {
    return TaskFailure(FailureCause::stopped);
  }
  long id = kControllerSucceeded;
  switch (task.links.moveJoints(conversion->trajectory, id)) {
    case CallStatus::ok:
      break;
    case CallStatus::notConnected:
      return TaskFailure(FailureCause::noController);
    case CallStatus::callFailed:
      return TaskFailure(FailureCause::callFailed);
  }
  if (id != kControllerSucceeded) {
    return TaskFailure(FailureCause::controllerRefused);
  }
  return done();
}

std::string resultWord(TaskContext& task, const Outcome& outcome, const char* finished,
                       const char* error) {
  if (outcome) {
    return finished;
  }
  for (const std::string& line : outcome.failure().lines()) {
    task.console.error(line);
  }
  return error;
}

}  // namespace pickplace
