#pragma once
// Where the simulated work cell says the objects and the tray are now, asked over its own
// CORBA interface.

#include <omniORB4/CORBA.h>

#include <string>
#include <vector>

#include "placement_check.h"
#include "remote_component.h"

namespace demo_summary {

// The simulator's component and the service port that provides its CellState.
constexpr const char* kDefaultCellComponent = "RobotController0";
constexpr const char* kCellStatePort = "CellState";
constexpr const char* kCellStateType = "HiroSim::CellState";
constexpr const char* kCellStateInstance = "cellState";

struct CellPlaces {
  std::vector<ObjectFinal> objects;  // in the order the estimator hands them out
  TrayFinal tray;
};

Remote<CellPlaces> askCellPlaces(CORBA::ORB_ptr orb, const std::string& nameServer,
                                 const std::string& cellComponent);

}  // namespace demo_summary
