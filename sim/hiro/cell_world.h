#pragma once
// What the hands do to the objects and the tray. Called once per control step with both
// hands' poses and finger openings, it applies the grasp, release and settle rules:
//  - an object is grasped when a hand's fingers close through the object's width while
//    the fingertips are around the object's middle (within kGraspOffset_m of its vertical
//    axis, between its bottom and top) and open across its width (within
//    kGraspAngleTolerance_rad); it then moves with the hand;
//  - opening the fingers wider than the object releases it; it settles upright on the tray
//    when it is over the tray, otherwise on the table;
//  - a tray grip point is held by a hand whose fingers close on it across the tray; with
//    both grip points held the tray moves with the hands, and the objects on it with it;
//    when a hand lets go, the tray stays where it was put.

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "gateway/geometry/frame.h"
#include "joint_layout.h"
#include "scene.h"

namespace hirosim {

constexpr double kGraspOffset_m = 0.01;
constexpr double kGraspAngleTolerance_rad = 15.0 * M_PI / 180.0;
constexpr double kGraspHeightMargin_m = 0.005;
constexpr double kTrayGripTolerance_m = 0.015;
constexpr double kTrayHandleThickness_m = 0.005;

// The directions of the hand, in the hand pose's own frame.
struct HandAxes {
  geometry::Vec3 approach;  // from the hand towards the fingertips
  geometry::Vec3 opening;   // the line along which the fingertips move apart
};

struct HandState {
  geometry::Frame pose = geometry::Frame::Identity();  // robot frame R
  double opening_m = 0.0;
  double fingertipDepth_m = 0.0;  // from the pose's origin along the approach axis
};

// A hand seen from outside: the midpoint of its fingertips, the unit direction along which
// they open, and the distance between them (robot frame R, metres).
struct HandTips {
  geometry::Vec3 midpoint_m = geometry::Vec3::Zero();
  geometry::Vec3 openingDirection = geometry::Vec3::UnitY();
  double opening_m = 0.0;
};

enum class Support { Table, Tray, Hand };

struct ObjectPlace {
  int index = 0;
  long classId = 0;
  Support support = Support::Table;
  Side holder = Side::Right;  // meaningful when support is Hand
  double depth_m = 0.0, width_m = 0.0, height_m = 0.0;
  double x_m = 0.0, y_m = 0.0, z_m = 0.0;  // centre of the base
  double yaw_rad = 0.0;
};

struct TrayPlace {
  double x_m = 0.0, y_m = 0.0, topZ_m = 0.0, yaw_rad = 0.0;
  bool lifted = false;  // carried by both hands
};

class CellWorld {
 public:
  CellWorld(const Scene& scene, const HandAxes& axes);

  // Applies one control step; returns the event lines it caused, in order.
  std::vector<std::string> update(const std::array<HandState, 2>& hands);

  std::vector<ObjectPlace> objectPlaces() const;
  TrayPlace trayPlace() const;
  double tableZ_m() const { return tableZ_m_; }
  HandTips handTips(const HandState& hand) const;

 private:
  struct Object {
    SceneObject given;  // as the scene file gave it
    Support support = Support::Table;
    Side holder = Side::Right;
    // Base centre, robot frame (kept up to date).
    geometry::Frame frame = geometry::Frame::Identity();
    // To the holding hand, or to the tray when on it.
    geometry::Frame relative = geometry::Frame::Identity();
  };

  geometry::Vec3 fingertip(const HandState& hand) const;
  geometry::Vec3 openingDirection(const HandState& hand) const;
  bool holdsSomething(Side side) const;
  // Why the hand's fingers would not hold the object; empty when they would.
  std::string graspMiss(const HandState& hand, const Object& object) const;
  std::array<geometry::Vec3, 2> gripPoints() const;  // at the tray's -y and +y edges
  geometry::Frame twoHandFrame(const std::array<HandState, 2>& hands) const;
  void releaseObject(Object& object, int index, std::vector<std::string>& events);
  void followCarriers(const std::array<HandState, 2>& hands);

  double tableZ_m_;
  SceneTray tray_;
  geometry::Frame trayFrame_;  // top-surface centre
  HandAxes axes_;
  std::vector<Object> objects_;
  std::array<double, 2> lastOpening_m_{};
  std::array<bool, 2> openingKnown_{};
  std::array<int, 2> trayGripHeld_{{-1, -1}};  // grip point held by each hand, -1 none
  bool trayCarried_ = false;
  geometry::Frame trayRelativeToHands_ = geometry::Frame::Identity();
};

std::string formatPosition(double x_m, double y_m, double z_m);

}  // namespace hirosim
