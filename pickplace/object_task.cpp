#include "object_task.h"

#include <algorithm>
#include <cmath>

#include "angles.h"
#include "finger_geometry.h"
#include "plan_steps.h"
#include "planning_geometry.h"

namespace pickplace {
namespace {

// Vision tells classes apart; the cell's objects have known widths and are presented at known
// sides.
constexpr long kWideObjectClass = 1;
constexpr double kWideObjectWidth_m = 0.05;
constexpr double kNarrowObjectWidth_m = 0.03;
constexpr double kWideObjectY_m = -0.1;
constexpr double kNarrowObjectY_m = 0.1;

// Finger opening around the object before gripping, beyond its width.
constexpr double kPreGripMargin_mm = 40.0;
constexpr double kFingerMoveTime_s = 0.1;
// Lift above the grasp before placing.
constexpr double kObjectLift_m = 0.15;
constexpr double kObjectLiftExtra_m = 0.05;

constexpr double kApproachSpeedFactor = 1.5;
constexpr double kGraspSpeedFactor = 0.5;

// The estimation gateway's result when it sees no object.
constexpr long kNoObjectFound = -1;

// Asks where the object is and picks and places it.
Outcome findAndManipulate(TaskContext& task) {
  if (!task.links.motionConnected()) {
    task.console.error("Palkett::processObj(): HIROController does not respond.");
  }
  if (!task.links.briskoConnected()) {
    task.console.error("Palkett::processObj(): Brisko does not respond.");
  }
  HandPose world;
  world.x_m = task.config.xWorldR_m;
  world.y_m = task.config.yWorldR_m;
  world.z_m = task.config.zWorldR_m;
  world.yaw_rad = degToRad(task.config.yWorldR_deg);
  if (!task.links.estimatorConnected()) {
    return TaskFailure(FailureCause::serviceMissing,
                       "Palkett::processObj(): Lumeris does not respond.");
  }
  ObjectEstimate estimate;
  switch (task.links.estimateObject(world, estimate)) {
    case CallStatus::ok:
      break;
    case CallStatus::notConnected:
      return TaskFailure(FailureCause::serviceMissing);
    case CallStatus::callFailed:
      return TaskFailure(FailureCause::callFailed);
  }
  if (estimate.result == kNoObjectFound) {
    task.console.print(formatText("-id=%ld\n", estimate.classId));
    return TaskFailure(FailureCause::nothingFound);
  }
  task.console.print(formatText("Object found.\n+id=%ld\n", estimate.classId));
  const bool wide = estimate.classId == kWideObjectClass;
  ObjectSize size = estimate.size_m;
  size[1] = wide ? kWideObjectWidth_m : kNarrowObjectWidth_m;
  HandPose pose = estimate.pose;
  pose.y_m = wide ? kWideObjectY_m : kNarrowObjectY_m;
  return manipulateSingleObject(task, estimate.classId, size, pose);
}

}  // namespace

std::string processObj(TaskContext& task) {
  return resultWord(task, findAndManipulate(task), kObjectFinished, kObjectError);
}

Outcome manipulateSingleObject(TaskContext& task, long classId, const ObjectSize& size,
                               const HandPose& pose) {
  const double width_m = size[1];
  const double height_m = size[2];
  task.console.print("[Object Pose] --------------------------------\n" + poseLine(pose));
  task.console.print("[Object parameters] --------------------------\n" +
                     formatText("ID     = %d\n", static_cast<int>(classId)) +
                     formatText("width  = %.1f[mm]\n", 1000.0 * width_m) +
                     formatText("height = %.1f[mm]\n", 1000.0 * height_m) +
                     formatText("yaw    = %.1f[deg]\n", radToDeg(pose.yaw_rad)));

  const auto slot = task.slots.take(classId);
  if (!slot) {
    return TaskFailure(FailureCause::noEmptySlot,
                       bells(4) + "Palkett::manipulateSingleObject(): no empty slot.");
  }
  const std::string cannotPick =
      bells(2) + "Palkett::manipulateSingleObject(): cannot calculate picking parameters.";
  const auto handOffset_m = objectHandOffset_m(width_m, task.config.serialNo);
  if (!handOffset_m) {
    return TaskFailure(FailureCause::fingerOutOfRange).within(cannotPick);
  }
  OperationList list;
  Result<Arm> arm = planObjectPicking(task, size, pose, *slot, *handOffset_m, list);
  if (!arm) {
    return arm.takeFailure().within(cannotPick);
  }
  if (Outcome placing = planObjectPlacing(task, size, *slot, *handOffset_m, *arm, list); !placing) {
    return placing.takeFailure().within(
        bells(2) + "Palkett::manipulateSingleObject(): cannot calculate placing parameters.");
  }
  printPlan(task, "[Object picking & placing plan] ----------------", list);
  task.console.print("[Object pick & place] --------------------------\n");
  const JointAngles start = initialPose();
  if (Outcome action = executeAction(task, list, &start); !action) {
    return action.takeFailure().within(
        bells(2) + "Palkett::manipulateSingleObject(): cannot pick & place object.");
  }
  return done();
}

Result<Arm> planObjectPicking(TaskContext& task, const ObjectSize& size, const HandPose& pose,
                              const SlotPosition& slot, double handOffset_m, OperationList& list) {
  const CellConfig& config = task.config;
  const double width_m = size[1];
  const double height_m = size[2];
  const double speed = config.speedBase;
  task.console.print("Planning / Obj picking (Common I/F)");

  const Arm arm = std::atan2(pose.y_m, pose.x_m) > 0.0 ? Arm::left : Arm::right;

  HandPose grasp;
  grasp.x_m = pose.x_m + config.xOPEOffsetR_m;
  grasp.y_m = pose.y_m + config.yOPEOffsetR_m;
  grasp.z_m = config.zWorldR_m + height_m + handOffset_m;
  grasp.roll_rad = pose.yaw_rad;
  grasp.pitch_rad = kHandDownPitch_rad;

  const auto gripAngles = fingerAnglesFor(1000.0 * (width_m - config.holdDistance_m),
                                          degToRad(config.fingerBacklash_deg));
  if (!gripAngles) {
    return TaskFailure(FailureCause::fingerOutOfRange, "Finger opening out of range.");
  }
  task.graspFingerAngles = *gripAngles;
  stepDone(task);

  const HandPose approach = raised(grasp, kObjectApproachHeight_m);
  if (Outcome reach = checkReach(task, arm, approach, 0.0, "IK failed. (1)"); !reach) {
    return reach.takeFailure();
  }
  append<HandOperation>(list, arm, approach, kApproachSpeedFactor * speed);
  stepDone(task);

  append<FingerDistanceOperation>(list, arm, 1000.0 * width_m + kPreGripMargin_mm,
                                  kFingerMoveTime_s);
  stepDone(task);

  if (Outcome reach = checkReach(task, arm, grasp, 0.0, "IK failed. (3)"); !reach) {
    return reach.takeFailure();
  }
  append<HandOperation>(list, arm, grasp, kGraspSpeedFactor * speed);
  stepDone(task);

  append<SleepOperation>(list, kGripPause_s);
  stepDone(task);

  append<FingerAngleOperation>(list, arm, task.graspFingerAngles, kFingerMoveTime_s);
  stepDone(task);

  append<SleepOperation>(list, kGripPause_s);
  stepDone(task);

  HandPose lift = grasp;
  lift.z_m = std::max(grasp.z_m + kObjectLift_m, height_m + handOffset_m + slot.z +
                                                     kObjectLiftClearance_m + kObjectLiftExtra_m);
  if (Outcome reach = checkReach(task, arm, lift, 0.0, "IK failed. (7)"); !reach) {
    return reach.takeFailure();
  }
  append<HandOperation>(list, arm, lift, speed);

  task.console.print("[OK]\n");
  return arm;
}

Outcome planObjectPlacing(TaskContext& task, const ObjectSize& size, const SlotPosition& slot,
                          double handOffset_m, Arm arm, OperationList& list) {
  const CellConfig& config = task.config;
  const double width_m = size[1];
  const double height_m = size[2];
  const double speed = config.speedBase;
  task.console.print("Planning / Obj placing (Common I/F)");

  HandPose put;
  put.x_m = slot.x;
  put.y_m = slot.y;
  put.z_m = slot.z + height_m + handOffset_m;
  put.pitch_rad = kHandDownPitch_rad;
  const HandPose target = rotateAboutVertical(put, degToRad(config.directionPalletPlacedR_deg));

  const double chest_rad = chestAngleFor(target, arm);
  stepDone(task);

  append<JointOperation>(list, bodyPoseFacing(chest_rad), jointMoveTime_s(speed));
  stepDone(task);

  const HandPose above = raised(target, kPlaceApproachHeight_m);
  if (Outcome reach = checkReach(task, arm, above, chest_rad, "[IK failed. (2)]"); !reach) {
    return reach;
  }
  append<HandOperation>(list, arm, above, kApproachSpeedFactor * speed);
  stepDone(task);

  if (Outcome reach = checkReach(task, arm, target, chest_rad, "[IK failed. (3)]"); !reach) {
    return reach;
  }
  append<HandOperation>(list, arm, target, kApproachSpeedFactor * speed);
  stepDone(task);

  append<SleepOperation>(list, kGripPause_s);
  stepDone(task);

  append<FingerDistanceOperation>(list, arm, 1000.0 * (width_m + config.releaseDistance_m),
                                  kFingerMoveTime_s);
  stepDone(task);

  append<SleepOperation>(list, kGripPause_s);
  stepDone(task);

  if (Outcome reach = checkReach(task, arm, above, chest_rad, "[IK failed. (7)]"); !reach) {
    return reach;
  }
  append<HandOperation>(list, arm, above, kApproachSpeedFactor * speed);

  append<JointOperation>(list, initialPose(), jointMoveTime_s(speed));

  task.console.print("[OK]\n");
  return done();
}

}  // namespace pickplace
