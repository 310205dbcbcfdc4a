#pragma once
// Where the coordinator means the objects and the tray to end: the placing slots on the
// receiving tray and the tray's put-down place, from the coordinator's configuration, laid out
// by the coordinator's own code (pickplace).
//
// Frames: the coordinator's configuration gives places in a body frame B, which is the robot
// frame R turned about its vertical axis by a direction angle. Every place returned here is in
// R (metres). The slots are fixed to the tray, so once the tray task has carried the tray from
// its receiving place to its put-down place, the slots have moved with it.

#include <map>
#include <optional>
#include <string>

#include "cell_config.h"

namespace demo_summary {

struct Point3 {
  double x_m = 0.0;
  double y_m = 0.0;
  double z_m = 0.0;
};

struct CellConfigParse {
  std::optional<pickplace::CellConfig> config;
  std::string error;  // set when config is empty: which value is missing or not a number
};

// Reads the coordinator's parameters from its configuration (parameter name → text). Every
// parameter must be present and a finite number (serialNo an integer).
CellConfigParse cellConfigFrom(const std::map<std::string, std::string>& values);

// A place of the tray: its top-surface centre and its yaw about R's vertical (radians).
struct TrayPose {
  Point3 topCentre;
  double yaw_rad = 0.0;
};

// The tray where the object task fills it, and where the tray task puts it down.
TrayPose receivingTrayPose(const pickplace::CellConfig& config);
TrayPose putDownTrayPose(const pickplace::CellConfig& config);

// Slot `slot` (0 or 1) of object class `classId` (0 or 1) with the tray at its receiving place
// (where the hand sets the object down) and after the tray has been put down. Empty for a
// class or a slot the coordinator does not have.
std::optional<Point3> slotAtReceivingPlace(const pickplace::CellConfig& config, long classId,
                                           int slot);
std::optional<Point3> slotAfterPutDown(const pickplace::CellConfig& config, long classId, int slot);

}  // namespace demo_summary
