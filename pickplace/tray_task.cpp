#include "tray_task.h"

#include <algorithm>
#include <utility>

#include "angles.h"
#include "plan_steps.h"
#include "planning_geometry.h"

namespace pickplace {
namespace {

constexpr double kTrayFingerOpen_mm = 30.0;
constexpr double kTrayFingerOpenTime_s = 0.3;
constexpr double kTrayFingerClosed_mm = 0.0;
constexpr double kTrayFingerCloseTime_s = 0.1;
constexpr double kApproachSpeedFactor = 1.5;

// A pair of tray points (left hand on +y) at (x, y ± halfSpan, z) in a pallet frame, turned
// by direction_rad into R. Every tray target has the configured gripping orientation.
std::pair<HandPose, HandPose> trayPoints(const CellConfig& config, double x_m, double y_m,
                                         double halfSpan_m, double z_m, double direction_rad) {
  HandPose left;
  left.x_m = x_m;
  left.y_m = y_m + halfSpan_m;
  left.z_m = z_m;
  left.roll_rad = degToRad(config.rPalletPlacedB_deg);
  left.pitch_rad = degToRad(config.pPalletPlacedB_deg);
  left.yaw_rad = degToRad(config.yPalletPlacedB_deg);
  HandPose right = left;
  right.y_m = y_m - halfSpan_m;
  return {rotateAboutVertical(left, direction_rad), rotateAboutVertical(right, direction_rad)};
}

}  // namespace

std::string processTray(TaskContext& task) {
  if (!task.links.motionConnected()) {
    task.console.error("Palkett::processTray(): HIROController does not respond.");
  }
  if (!task.links.briskoConnected()) {
    const Outcome missing = TaskFailure(FailureCause::serviceMissing,
                                        "Palkett::processTray(): Brisko does not respond.");
    return resultWord(task, missing, kTrayFinished, kTrayError);
  }
  return resultWord(task, manipulateTray(task), kTrayFinished, kTrayError);
}

Outcome manipulateTray(TaskContext& task) {
  const double handOffset_m = trayHandOffset_m(task.config.serialNo);
  OperationList list;
  if (Outcome picking = planTrayPicking(task, handOffset_m, list); !picking) {
    return picking.takeFailure().within(
        bells(2) + "Palkett::manipulateTray(): cannot calculate picking parameters.");
  }
  if (Outcome placing = planTrayPlacing(task, handOffset_m, list); !placing) {
    return placing.takeFailure().within(
        bells(2) + "Palkett::manipulateTray(): cannot calculate placing parameters.");
  }
  printPlan(task, "[Tray picking & placing plan] ------------------", list);
  task.console.print("[Tray pick and place] --------------------------\n");
  // Before any object task there is no last pose; the robot is then at its initial pose.
  const JointAngles initial = initialPose();
  const JointAngles* start = task.lastPose.empty() ? &initial : nullptr;
  if (Outcome action = executeAction(task, list, start); !action) {
    return action.takeFailure().within(bells(2) +
                                       "Palkett::manipulateTray(): cannot pick & place tray.");
  }
  return done();
}

Outcome planTrayPicking(TaskContext& task, double handOffset_m, OperationList& list) {
  const CellConfig& c = task.config;
  const double speed = c.speedBase;
  const double direction_rad = degToRad(c.directionPalletPlacedR_deg);
  const double gripZ_m = c.zPalletPlacedB_m + kTrayGripHeight_m + handOffset_m;
  task.console.print("Planning / Tray picking");

  const auto [gripL, gripR] = trayPoints(c, c.xPalletPlacedB_m, c.yPalletPlacedB_m,
                                         kTrayWidth_m / 2.0, gripZ_m, direction_rad);
  stepDone(task);

  append<JointOperation>(list, bodyPoseFacing(direction_rad), jointMoveTime_s(speed));
  stepDone(task);

  const HandPose aboveL = raised(gripL, kPlaceApproachHeight_m);
  const HandPose aboveR = raised(gripR, kPlaceApproachHeight_m);
  if (Outcome reach = checkReachLR(task, aboveL, aboveR, direction_rad, "[IK failed. (2)]");
      !reach) {
    return reach;
  }
  append<HandLROperation>(list, aboveL, aboveR, kApproachSpeedFactor * speed);
  stepDone(task);

  append<FingerDistanceLROperation>(list, kTrayFingerOpen_mm, kTrayFingerOpen_mm,
                                    kTrayFingerOpenTime_s);

  if (Outcome reach = checkReachLR(task, gripL, gripR, direction_rad, "[IK failed. (4)]"); !reach) {
    return reach;
  }
  append<HandLROperation>(list, gripL, gripR, speed);

  append<SleepOperation>(list, kGripPause_s);
  stepDone(task);

  append<FingerDistanceLROperation>(list, kTrayFingerClosed_mm, kTrayFingerClosed_mm,
                                    kTrayFingerCloseTime_s);
  stepDone(task);

  const auto [squeezeL, squeezeR] =
      trayPoints(c, c.xPalletPlacedB_m, c.yPalletPlacedB_m, (kTrayWidth_m - kTraySqueeze_m) / 2.0,
                 gripZ_m, direction_rad);
  if (Outcome reach = checkReachLR(task, squeezeL, squeezeR, direction_rad, "[IK failed. (7)]");
      !reach) {
    return reach;
  }
  append<HandLROperation>(list, squeezeL, squeezeR, speed);
  stepDone(task);

  append<SleepOperation>(list, kGripPause_s);
  stepDone(task);

  // High enough to clear both the pallet and the put-down place.
  const double liftZ_m = kTrayGripHeight_m + handOffset_m + c.liftDistancePalletR_m +
                         std::max(c.zPalletToBePlacedB_m, c.zPalletPlacedB_m);
  HandPose liftL = squeezeL;
  HandPose liftR = squeezeR;
  liftL.z_m = liftZ_m;
  liftR.z_m = liftZ_m;
  if (Outcome reach = checkReachLR(task, liftL, liftR, direction_rad, "[IK failed. (9)]"); !reach) {
    return reach;
  }
  append<HandLROperation>(list, liftL, liftR, speed);

  task.console.print("[OK]\n");
  return done();
}

Outcome planTrayPlacing(TaskContext& task, double handOffset_m, OperationList& list) {
  const CellConfig& c = task.config;
  const double speed = c.speedBase;
  const double direction_rad = degToRad(c.directionPalletToBePlacedR_deg);
  const double putZ_m = c.zPalletToBePlacedB_m + kTrayGripHeight_m + handOffset_m;

  const auto [putL, putR] =
      trayPoints(c, c.xPalletToBePlacedB_m, c.yPalletToBePlacedB_m,
                 (kTrayWidth_m - kTraySqueeze_m) / 2.0, putZ_m, direction_rad);
  stepDone(task);

  // The arms keep their joints, so the held tray turns with the chest.
  append<JointOperation>(list, bodyPoseFacing(direction_rad), jointMoveTime_s(speed));
  stepDone(task);

  if (Outcome reach = checkReachLR(task, putL, putR, direction_rad, "[IK failed. (11)]"); !reach) {
    return reach;
  }
  append<HandLROperation>(list, putL, putR, speed);
  stepDone(task);

  const auto [releaseL, releaseR] = trayPoints(c, c.xPalletToBePlacedB_m, c.yPalletToBePlacedB_m,
                                               kTrayWidth_m / 2.0, putZ_m, direction_rad);
  if (Outcome reach = checkReachLR(task, releaseL, releaseR, direction_rad, "[IK failed. (10)]");
      !reach) {
    return reach;
  }
  append<HandLROperation>(list, releaseL, releaseR, speed);
  stepDone(task);

  append<SleepOperation>(list, kGripPause_s);
  stepDone(task);

  append<FingerDistanceLROperation>(list, kTrayFingerOpen_mm, kTrayFingerOpen_mm,
                                    kTrayFingerOpenTime_s);
  stepDone(task);

  const HandPose retreatL = raised(releaseL, kPlaceApproachHeight_m);
  const HandPose retreatR = raised(releaseR, kPlaceApproachHeight_m);
  if (Outcome reach = checkReachLR(task, retreatL, retreatR, direction_rad, "[IK failed. (15)]");
      !reach) {
    return reach;
  }
  append<HandLROperation>(list, retreatL, retreatR, speed);

  append<JointOperation>(list, initialPose(), jointMoveTime_s(speed));

  task.console.print("[OK]\n");
  return done();
}

}  // namespace pickplace
