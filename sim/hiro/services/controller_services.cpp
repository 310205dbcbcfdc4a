#include "controller_services.h"

#include <iostream>

#include "finger_geometry.h"

namespace hirosim {
namespace {

constexpr double kRadPerDeg = M_PI / 180.0;
constexpr double kPoseMoveTime_s = 5.0;
constexpr double kFingerMoveTime_s = 0.5;
constexpr double kHandOpen_mm = 100.0;
constexpr double kHandClosed_mm = 0.0;
constexpr double kMetresPerMm = 0.001;

const std::vector<JointGroup> kAllGroups{JointGroup::BodyHead, JointGroup::RightArm,
                                         JointGroup::LeftArm, JointGroup::RightHand,
                                         JointGroup::LeftHand};
const std::vector<JointGroup> kArms{JointGroup::RightArm, JointGroup::LeftArm};
const std::vector<JointGroup> kHandGroups{JointGroup::RightHand, JointGroup::LeftHand};

template <class ReturnId>
ReturnId* returnId(const Outcome& outcome, const char* done) {
  auto* id = new ReturnId;
  id->id = static_cast<CORBA::Long>(outcome.code);
  id->comment = outcome.ok() ? done : outcome.reason.c_str();
  return id;
}

MotionCommands::RETURN_ID* notSimulated(const char* operation) {
  const std::string reason =
      std::string(operation) + " is not simulated; send joint trajectories with movePTPJointAbsSeq";
  std::cerr << operation << " refused: " << reason << std::endl;
  return returnId<MotionCommands::RETURN_ID>({OutcomeCode::Unsupported, reason}, "");
}

void report(const char* operation, const Outcome& outcome) {
  if (!outcome.ok()) std::cerr << "HiroNX::" << operation << ": " << outcome.reason << std::endl;
}

}  // namespace

JointVector initialPose() {
  // Degrees: body/head, right arm, left arm; the hands at 0.
  static const double kInitial_deg[15] = {0,   0,    25.8, -23.3,  -7.2, -156.2, 7.2, 22.5,
                                          3.2, 23.3, -7.2, -156.2, -7.2, 22.5,   -3.2};
  JointVector joints{};
  for (int i = 0; i < 15; ++i) joints[i] = kInitial_deg[i] * kRadPerDeg;
  return joints;
}

CommonCommands::RETURN_ID* CommonCommandsSVC_impl::switchServos(
    const std::vector<JointGroup>& groups, bool on) {
  return returnId<CommonCommands::RETURN_ID>(cell_.switchServos(groups, on),
                                             on ? "servo on" : "servo off");
}

CommonCommands::RETURN_ID* CommonCommandsSVC_impl::servoOFF() {
  return switchServos(kAllGroups, false);
}
CommonCommands::RETURN_ID* CommonCommandsSVC_impl::servoON() {
  return switchServos(kAllGroups, true);
}
CommonCommands::RETURN_ID* CommonCommandsSVC_impl::servoOFFArm() {
  return switchServos(kArms, false);
}
CommonCommands::RETURN_ID* CommonCommandsSVC_impl::servoOFFHand() {
  return switchServos(kHandGroups, false);
}
CommonCommands::RETURN_ID* CommonCommandsSVC_impl::servoONArm() {
  return switchServos(kArms, true);
}
CommonCommands::RETURN_ID* CommonCommandsSVC_impl::servoONHand() {
  return switchServos(kHandGroups, true);
}

MotionCommands::RETURN_ID* MotionCommandsSVC_impl::movePTPJointAbsSeq(
    const MotionCommands::JointPosSeq& points, const MotionCommands::DoubleSeq& times) {
  std::vector<std::vector<double>> points_deg(points.length());
  for (CORBA::ULong i = 0; i < points.length(); ++i) {
    points_deg[i].assign(points[i].get_buffer(), points[i].get_buffer() + points[i].length());
  }
  const std::vector<double> times_s(times.get_buffer(), times.get_buffer() + times.length());
  return returnId<MotionCommands::RETURN_ID>(cell_.runTrajectory(points_deg, times_s),
                                             "motion completed");
}

MotionCommands::RETURN_ID* MotionCommandsSVC_impl::closeGripper() {
  return notSimulated("closeGripper");
}
MotionCommands::RETURN_ID* MotionCommandsSVC_impl::moveGripper(MotionCommands::ULONG) {
  return notSimulated("moveGripper");
}
MotionCommands::RETURN_ID* MotionCommandsSVC_impl::moveLinearCartesianAbs(
    const MotionCommands::CarPosWithElbow&) {
  return notSimulated("moveLinearCartesianAbs");
}
MotionCommands::RETURN_ID* MotionCommandsSVC_impl::moveLinearCartesianRel(
    const MotionCommands::CarPosWithElbow&) {
  return notSimulated("moveLinearCartesianRel");
}
MotionCommands::RETURN_ID* MotionCommandsSVC_impl::movePTPJointAbs(
    const MotionCommands::JointPos&) {
  return notSimulated("movePTPJointAbs");
}
MotionCommands::RETURN_ID* MotionCommandsSVC_impl::movePTPJointRel(
    const MotionCommands::JointPos&) {
  return notSimulated("movePTPJointRel");
}
MotionCommands::RETURN_ID* MotionCommandsSVC_impl::openGripper() {
  return notSimulated("openGripper");
}
MotionCommands::RETURN_ID* MotionCommandsSVC_impl::setSpeedCartesian(MotionCommands::ULONG) {
  return notSimulated("setSpeedCartesian");
}
MotionCommands::RETURN_ID* MotionCommandsSVC_impl::setSpeedJoint(MotionCommands::ULONG) {
  return notSimulated("setSpeedJoint");
}

void HiroNXSVC_impl::setupRobot() { report("setupRobot", cell_.switchServos(kAllGroups, true)); }

void HiroNXSVC_impl::restart() {
  std::cerr << "HiroNX::restart: nothing to restart in the simulated robot" << std::endl;
}

void HiroNXSVC_impl::moveTo(const JointVector& joints_rad) {
  std::vector<double> point_deg(HiroCell::kTrajectoryPointSize, 0.0);
  for (int i = 0; i < kJointCount; ++i) point_deg[i] = joints_rad[i] / kRadPerDeg;
  cell_.runTrajectory({point_deg}, {kPoseMoveTime_s});
}

void HiroNXSVC_impl::goInitial() { moveTo(initialPose()); }
void HiroNXSVC_impl::goOffPose() { moveTo(JointVector{}); }
void HiroNXSVC_impl::servoOn() { report("servoOn", cell_.switchServos(kAllGroups, true)); }
void HiroNXSVC_impl::servoOff() { report("servoOff", cell_.switchServos(kAllGroups, false)); }

void HiroNXSVC_impl::calibrateJoint() {
  std::cerr << "HiroNX::calibrateJoint: the simulated joints are always calibrated" << std::endl;
}

void HiroNXSVC_impl::servoOnHands() {
  report("servoOnHands", cell_.switchServos(kHandGroups, true));
}
void HiroNXSVC_impl::servoOffHands() {
  report("servoOffHands", cell_.switchServos(kHandGroups, false));
}

void HiroNXSVC_impl::reboot() {
  std::cerr << "HiroNX::reboot: the simulated robot is not rebooted" << std::endl;
}

void HiroNXSVC_impl::shutdown() {
  std::cerr << "HiroNX::shutdown: the simulated robot keeps running; end HiroSimComp instead"
            << std::endl;
}

void HiroNXSVC_impl::moveFingers(const char* hand, double opening_mm) {
  const std::optional<FingerAngles> angles = fingerAnglesForOpening(opening_mm * kMetresPerMm);
  if (!angles) return;
  const std::vector<double> values(angles->begin(), angles->end());
  if (cell_.setFingerAngles(hand, values, kFingerMoveTime_s).ok()) {
    cell_.waitIdle({Channel::RightHand, Channel::LeftHand});
  }
}

void HiroNXSVC_impl::rhandOpen() { moveFingers("RHAND", kHandOpen_mm); }
void HiroNXSVC_impl::rhandClose() { moveFingers("RHAND", kHandClosed_mm); }
void HiroNXSVC_impl::lhandOpen() { moveFingers("LHAND", kHandOpen_mm); }
void HiroNXSVC_impl::lhandClose() { moveFingers("LHAND", kHandClosed_mm); }
void HiroNXSVC_impl::EngageProtectiveStop() { cell_.engageProtectiveStop(); }
void HiroNXSVC_impl::DisengageProtectiveStop() { cell_.disengageProtectiveStop(); }

CORBA::Long LumerisServiceSVC_impl::getLastEstimatedResult(const RTC::Pose3D& world,
                                                           CORBA::Long& id, RTC::Size3D& size,
                                                           RTC::Pose3D& pose) {
  const geometry::Pose6 worldInRobot{world.position.x,    world.position.y,    world.position.z,
                                     world.orientation.r, world.orientation.p, world.orientation.y};
  const std::optional<ObjectEstimate> estimate = cell_.estimateNextObject(worldInRobot);
  size = RTC::Size3D{0.0, 0.0, 0.0};
  pose = RTC::Pose3D{};
  pose.position = RTC::Point3D{0.0, 0.0, 0.0};
  pose.orientation = RTC::Orientation3D{0.0, 0.0, 0.0};
  if (!estimate) {
    id = -1;
    return -1;
  }
  id = estimate->classId;
  size = RTC::Size3D{estimate->size_m[0], estimate->size_m[1], estimate->size_m[2]};
  pose.position = RTC::Point3D{estimate->pose.x_m, estimate->pose.y_m, estimate->pose.z_m};
  pose.orientation =
      RTC::Orientation3D{estimate->pose.roll_rad, estimate->pose.pitch_rad, estimate->pose.yaw_rad};
  return 0;
}

namespace {

HiroSim::ObjectPlace objectPlace(const ObjectPlace& place) {
  HiroSim::ObjectPlace out;
  out.index = place.index;
  out.classId = place.classId;
  switch (place.support) {
    case Support::Table:
      out.support = HiroSim::ON_TABLE;
      break;
    case Support::Tray:
      out.support = HiroSim::ON_TRAY;
      break;
    case Support::Hand:
      out.support = place.holder == Side::Left ? HiroSim::IN_LEFT_HAND : HiroSim::IN_RIGHT_HAND;
      break;
  }
  out.x = place.x_m;
  out.y = place.y_m;
  out.z = place.z_m;
  out.yaw = place.yaw_rad;
  return out;
}

HiroSim::TrayPlace trayPlace(const TrayPlace& tray) {
  return HiroSim::TrayPlace{tray.x_m, tray.y_m, tray.topZ_m, tray.yaw_rad, tray.lifted};
}

HiroSim::HandTips handTips(const HandTips& hand) {
  return HiroSim::HandTips{hand.midpoint_m.x(),
                           hand.midpoint_m.y(),
                           hand.midpoint_m.z(),
                           hand.openingDirection.x(),
                           hand.openingDirection.y(),
                           hand.openingDirection.z(),
                           hand.opening_m};
}

}  // namespace

HiroSim::ObjectPlaceSeq* CellStateSVC_impl::getObjectPlaces() {
  const std::vector<ObjectPlace> places = cell_.objectPlaces();
  auto* sequence = new HiroSim::ObjectPlaceSeq;
  sequence->length(static_cast<CORBA::ULong>(places.size()));
  for (std::size_t i = 0; i < places.size(); ++i) {
    (*sequence)[static_cast<CORBA::ULong>(i)] = objectPlace(places[i]);
  }
  return sequence;
}

HiroSim::TrayPlace CellStateSVC_impl::getTrayPlace() { return trayPlace(cell_.trayPlace()); }

HiroSim::CellView* CellStateSVC_impl::getCellView() {
  const CellView now = cell_.cellView();
  const Scene& scene = cell_.scene();
  auto* view = new HiroSim::CellView;
  view->time = now.time_s;
  const TableExtent table = tableExtent(scene);
  view->table =
      HiroSim::TableTop{scene.tableZ_m, table.minX_m, table.maxX_m, table.minY_m, table.maxY_m};
  view->traySize =
      HiroSim::TrayDimensions{scene.tray.length_m, scene.tray.width_m, scene.tray.thickness_m};
  view->tray = trayPlace(now.tray);
  view->slots.length(static_cast<CORBA::ULong>(scene.slots.size()));
  for (std::size_t i = 0; i < scene.slots.size(); ++i) {
    const SceneSlot& slot = scene.slots[i];
    view->slots[static_cast<CORBA::ULong>(i)] = HiroSim::TraySlot{
        static_cast<CORBA::Long>(slot.classId), slot.slot, slot.along_m, slot.across_m};
  }
  if (scene.putDown) {
    view->putDown.length(1);
    view->putDown[0] = HiroSim::TrayPose{scene.putDown->x_m, scene.putDown->y_m,
                                         scene.putDown->topZ_m, scene.putDown->yaw_rad};
  }
  view->objects.length(static_cast<CORBA::ULong>(now.objects.size()));
  for (std::size_t i = 0; i < now.objects.size(); ++i) {
    const ObjectPlace& place = now.objects[i];
    HiroSim::ObjectView& out = view->objects[static_cast<CORBA::ULong>(i)];
    out.place = objectPlace(place);
    out.depth = place.depth_m;
    out.width = place.width_m;
    out.height = place.height_m;
  }
  view->rightHand = handTips(now.hands[static_cast<int>(Side::Right)]);
  view->leftHand = handTips(now.hands[static_cast<int>(Side::Left)]);
  return view;
}

}  // namespace hirosim
