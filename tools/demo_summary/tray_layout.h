#pragma once
// Where the coordinator means the objects and the tray to end: the placing slots on the
// receiving tray and the tray's put-down place, from the coordinator's configuration values.
//
// Frames: the coordinator's configuration gives places in a body frame B, which is the robot
// frame R turned about its vertical axis by a direction angle. Every place returned here is in
// R (metres). The slots are fixed to the tray, so once the tray task has carried the tray from
// its receiving place to its put-down place, the slots have moved with it.

#include <map>
#include <optional>
#include <string>

namespace demo_summary {

// Fixed cell constants of the coordinator (not configurable there).
constexpr double kSlotOffsetX_m = 0.04;
constexpr double kSlotOffsetY_m = 0.03975;
constexpr double kSlotHeight_m = 0.007;
constexpr int kSlotClassCount = 2;
constexpr int kSlotsPerClass = 2;

struct Point3 {
  double x_m = 0.0;
  double y_m = 0.0;
  double z_m = 0.0;
};

// The coordinator's configuration values that place the tray (metres, degrees as configured).
struct TrayConfig {
  double xPalletPlacedB_m = 0.470;
  double yPalletPlacedB_m = 0.0;
  double zPalletPlacedB_m = 0.015;
  double directionPalletPlacedR_deg = 100.0;
  double xPalletToBePlacedB_m = 0.470;
  double yPalletToBePlacedB_m = 0.0;
  double zPalletToBePlacedB_m = 0.032;
  double directionPalletToBePlacedR_deg = 0.0;
};

struct TrayConfigParse {
  std::optional<TrayConfig> config;
  std::string error;  // set when config is empty: which value is missing or not a number
};

// Reads the eight values from a component's configuration (parameter name → text). Every one
// must be present and a finite number.
TrayConfigParse trayConfigFrom(const std::map<std::string, std::string>& values);

// A place of the tray: its top-surface centre and its yaw about R's vertical (radians).
struct TrayPose {
  Point3 topCentre;
  double yaw_rad = 0.0;
};

// The tray where the object task fills it, and where the tray task puts it down.
TrayPose receivingTrayPose(const TrayConfig& config);
TrayPose putDownTrayPose(const TrayConfig& config);

// Slot `slot` (0 or 1) of object class `classId` (0 or 1) with the tray at its receiving place
// (where the object is set down) and after the tray has been put down. Empty for a class or a
// slot outside the table.
std::optional<Point3> slotAtReceivingPlace(const TrayConfig& config, int classId, int slot);
std::optional<Point3> slotAfterPutDown(const TrayConfig& config, int classId, int slot);

}  // namespace demo_summary
