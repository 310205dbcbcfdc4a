#include "cell_world.h"

#include <cmath>
#include <cstdio>

namespace hirosim {
namespace {

using geometry::Frame;
using geometry::Vec3;

// Hands closing this close to an object without grasping it are reported.
constexpr double kNearMiss_m = 0.05;
// How far below the tray's top a released object's base may be and still land on it.
constexpr double kTrayLandingDepth_m = 0.02;

Frame uprightFrame(double x, double y, double z, double yaw) {
  return geometry::frameOf(geometry::rotationZ(yaw), {x, y, z});
}

Vec3 horizontal(const Vec3& v) { return {v.x(), v.y(), 0.0}; }

bool crossedClosing(double before_m, double now_m, double size_m) {
  return before_m > size_m && now_m <= size_m;
}

bool acrossAxis(const Vec3& openingWorld, const Vec3& axisWorld) {
  const double length = openingWorld.norm() * axisWorld.norm();
  if (length <= 0.0) return false;
  return std::fabs(openingWorld.dot(axisWorld)) / length >= std::cos(kGraspAngleTolerance_rad);
}

}  // namespace

std::string formatPosition(double x_m, double y_m, double z_m) {
  // Values that round to zero print as 0.000, never as -0.000.
  const auto shown = [](double v) { return std::fabs(v) < 0.0005 ? 0.0 : v; };
  char text[80];
  std::snprintf(text, sizeof text, "(%.3f, %.3f, %.3f) m", shown(x_m), shown(y_m), shown(z_m));
  return text;
}

CellWorld::CellWorld(const Scene& scene, const HandAxes& axes)
    : tableZ_m_(scene.tableZ_m),
      tray_(scene.tray),
      trayFrame_(
          uprightFrame(scene.tray.x_m, scene.tray.y_m, scene.tray.topZ_m, scene.tray.yaw_rad)),
      axes_(axes) {
  for (const SceneObject& given : scene.objects) {
    Object object;
    object.given = given;
    object.frame = uprightFrame(given.x_m, given.y_m, scene.tableZ_m, given.yaw_rad);
    objects_.push_back(object);
  }
}

Vec3 CellWorld::fingertip(const HandState& hand) const {
  return hand.pose.translation() + hand.fingertipDepth_m * (hand.pose.linear() * axes_.approach);
}

Vec3 CellWorld::openingDirection(const HandState& hand) const {
  return hand.pose.linear() * axes_.opening;
}

HandTips CellWorld::handTips(const HandState& hand) const {
  return {fingertip(hand), openingDirection(hand), hand.opening_m};
}

bool CellWorld::holdsSomething(Side side) const {
  if (trayGripHeld_[static_cast<int>(side)] >= 0) return true;
  for (const Object& object : objects_) {
    if (object.support == Support::Hand && object.holder == side) return true;
  }
  return false;
}

std::string CellWorld::graspMiss(const HandState& hand, const Object& object) const {
  const Vec3 local = object.frame.inverse() * fingertip(hand);
  const double offset_m = std::hypot(local.x(), local.y());
  char text[96];
  if (offset_m > kGraspOffset_m) {
    std::snprintf(text, sizeof text, "the fingertips are %.0f mm from its axis", offset_m * 1000);
    return text;
  }
  if (local.z() < kGraspHeightMargin_m ||
      local.z() > object.given.height_m - kGraspHeightMargin_m) {
    std::snprintf(text, sizeof text, "the fingertips are %.0f mm above its base, not on its side",
                  local.z() * 1000);
    return text;
  }
  const Vec3 widthAxis = object.frame.linear() * Vec3::UnitY();
  if (!acrossAxis(openingDirection(hand), widthAxis))
    return "the fingers do not close across its width";
  return "";
}

std::array<Vec3, 2> CellWorld::gripPoints() const {
  const double half = tray_.width_m / 2.0;
  return {trayFrame_ * Vec3{0, -half, tray_.gripHeight_m},
          trayFrame_ * Vec3{0, half, tray_.gripHeight_m}};
}

Frame CellWorld::twoHandFrame(const std::array<HandState, 2>& hands) const {
  const Vec3 right = fingertip(hands[static_cast<int>(Side::Right)]);
  const Vec3 left = fingertip(hands[static_cast<int>(Side::Left)]);
  const Vec3 across = horizontal(left - right);
  const double yaw = std::atan2(across.y(), across.x()) - M_PI / 2.0;
  const Vec3 middle = 0.5 * (left + right);
  return uprightFrame(middle.x(), middle.y(), middle.z(), yaw);
}

void CellWorld::releaseObject(Object& object, int index, std::vector<std::string>& events) {
  const Vec3 base = object.frame.translation();
  const double yaw = geometry::headingOf(object.frame);
  const Vec3 onTray = trayFrame_.inverse() * base;
  const bool overTray = std::fabs(onTray.x()) <= tray_.length_m / 2.0 &&
                        std::fabs(onTray.y()) <= tray_.width_m / 2.0 &&
                        onTray.z() >= -kTrayLandingDepth_m;
  std::string where;
  if (overTray) {
    object.support = Support::Tray;
    object.frame = uprightFrame(base.x(), base.y(), trayFrame_.translation().z(), yaw);
    object.relative = trayFrame_.inverse() * object.frame;
    where = "tray";
  } else {
    object.support = Support::Table;
    object.frame = uprightFrame(base.x(), base.y(), tableZ_m_, yaw);
    where = "table";
  }
  const Vec3 p = object.frame.translation();
  events.push_back("object " + std::to_string(index) + " released on " + where + " at " +
                   formatPosition(p.x(), p.y(), p.z()));
}

void CellWorld::followCarriers(const std::array<HandState, 2>& hands) {
  if (trayCarried_) trayFrame_ = twoHandFrame(hands) * trayRelativeToHands_;
  for (Object& object : objects_) {
    if (object.support == Support::Hand) {
      object.frame = hands[static_cast<int>(object.holder)].pose * object.relative;
    } else if (object.support == Support::Tray) {
      object.frame = trayFrame_ * object.relative;
    }
  }
}

std::vector<std::string> CellWorld::update(const std::array<HandState, 2>& hands) {
  std::vector<std::string> events;
  followCarriers(hands);

  for (int s = 0; s < 2; ++s) {
    const Side side = static_cast<Side>(s);
    const HandState& hand = hands[s];
    const double before_m = openingKnown_[s] ? lastOpening_m_[s] : hand.opening_m;
    const double now_m = hand.opening_m;

    // Letting go.
    for (std::size_t i = 0; i < objects_.size(); ++i) {
      Object& object = objects_[i];
      if (object.support == Support::Hand && object.holder == side &&
          now_m > object.given.width_m) {
        releaseObject(object, static_cast<int>(i), events);
      }
    }
    if (trayGripHeld_[s] >= 0 && now_m > kTrayHandleThickness_m) {
      if (trayCarried_) {
        trayCarried_ = false;
        const Vec3 p = trayFrame_.translation();
        events.push_back("tray set down at " + formatPosition(p.x(), p.y(), p.z()));
      }
      trayGripHeld_[s] = -1;
      events.push_back(std::string("tray released by ") + sideName(side) + " hand");
    }

    // Closing on something.
    if (!holdsSomething(side)) {
      for (std::size_t i = 0; i < objects_.size(); ++i) {
        Object& object = objects_[i];
        if (object.support == Support::Hand) continue;
        if (!crossedClosing(before_m, now_m, object.given.width_m)) continue;
        const std::string miss = graspMiss(hand, object);
        const std::string name = "object " + std::to_string(i);
        if (!miss.empty()) {
          // Say why a hand that closed right next to an object did not take it.
          if (horizontal(fingertip(hand) - object.frame.translation()).norm() <= kNearMiss_m) {
            events.push_back(std::string(sideName(side)) + " hand closed beside " + name +
                             " without grasping it: " + miss);
          }
          continue;
        }
        object.support = Support::Hand;
        object.holder = side;
        object.relative = hand.pose.inverse() * object.frame;
        events.push_back(name + " grasped by " + sideName(side) + " hand");
        break;
      }
    }
    if (!holdsSomething(side) && crossedClosing(before_m, now_m, kTrayHandleThickness_m)) {
      const std::array<Vec3, 2> grips = gripPoints();
      const Vec3 trayAcross = trayFrame_.linear() * Vec3::UnitY();
      for (int g = 0; g < 2; ++g) {
        const int other = 1 - s;
        if (trayGripHeld_[other] == g) continue;
        if ((fingertip(hand) - grips[g]).norm() > kTrayGripTolerance_m) continue;
        if (!acrossAxis(openingDirection(hand), trayAcross)) continue;
        trayGripHeld_[s] = g;
        events.push_back(std::string("tray gripped by ") + sideName(side) + " hand");
        if (trayGripHeld_[other] >= 0) {
          trayCarried_ = true;
          trayRelativeToHands_ = twoHandFrame(hands).inverse() * trayFrame_;
          events.push_back("tray held by both hands");
        }
        break;
      }
    }
    lastOpening_m_[s] = now_m;
    openingKnown_[s] = true;
  }
  return events;
}

std::vector<ObjectPlace> CellWorld::objectPlaces() const {
  std::vector<ObjectPlace> places;
  for (std::size_t i = 0; i < objects_.size(); ++i) {
    const Object& object = objects_[i];
    ObjectPlace place;
    place.index = static_cast<int>(i);
    place.classId = object.given.classId;
    place.support = object.support;
    place.holder = object.holder;
    place.depth_m = object.given.depth_m;
    place.width_m = object.given.width_m;
    place.height_m = object.given.height_m;
    place.x_m = object.frame.translation().x();
    place.y_m = object.frame.translation().y();
    place.z_m = object.frame.translation().z();
    place.yaw_rad = geometry::headingOf(object.frame);
    places.push_back(place);
  }
  return places;
}

TrayPlace CellWorld::trayPlace() const {
  const Vec3 top = trayFrame_.translation();
  return {top.x(), top.y(), top.z(), geometry::headingOf(trayFrame_), trayCarried_};
}

}  // namespace hirosim
