#pragma once
// Judges where the simulated cell says the objects and the tray ended against where the
// coordinator meant them to end (tray_layout.h).
//
// Object i of the estimator's order that is the k-th object of its class belongs in slot k of
// that class's column, because the coordinator takes the first free slot of the column. An
// object is where it belongs when it stands on the tray and its base centre lies within the
// tolerance of that slot, across (x, y) and up (z) each. The slot's height is where the hand
// lets go; the object then settles on the tray's surface just below it.

#include <optional>
#include <string>
#include <vector>

#include "tray_layout.h"

namespace demo_summary {

constexpr double kDefaultTolerance_mm = 10.0;

struct ObjectFinal {
  int index = 0;
  long classId = 0;
  bool onTray = false;
  Point3 baseCentre;  // R, metres
};

struct TrayFinal {
  Point3 topCentre;  // R, metres
  double yaw_rad = 0.0;
  bool lifted = false;  // still held by the hands
};

struct ObjectVerdict {
  ObjectFinal object;
  std::optional<Point3> slot;  // empty: no slot for it (class without a column, column full)
  double across_mm = 0.0;      // horizontal distance from the slot
  double up_mm = 0.0;          // vertical distance from the slot, signed (object − slot)
  bool ok = false;
};

struct TrayVerdict {
  TrayFinal tray;
  TrayPose expected;
  double off_mm = 0.0;      // distance of the top-surface centres
  double yawOff_deg = 0.0;  // signed, in (−180, 180]
  bool ok = false;
};

struct PlacementReport {
  std::vector<ObjectVerdict> objects;
  TrayVerdict tray;
  bool ok = false;  // every object and the tray where they belong, and at least one object
};

PlacementReport checkPlacement(const pickplace::CellConfig& config,
                               const std::vector<ObjectFinal>& objects, const TrayFinal& tray,
                               double tolerance_mm = kDefaultTolerance_mm);

}  // namespace demo_summary
