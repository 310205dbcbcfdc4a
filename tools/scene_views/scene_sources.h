#pragma once
// The views' snapshots filled from the simulators over CORBA: the building and the base's true
// pose from the simulated base's status service, the arm cell from the simulated cell's state
// service. Every failure, CORBA exceptions included, comes back as a one-line reason.

#include <omniORB4/CORBA.h>

#include <HiroSimCell.hh>
#include <SimBase.hh>
#include <optional>
#include <string>

#include "building_view.h"
#include "cell_view.h"

namespace scene_views {

template <class T>
struct SourceReading {
  std::optional<T> value;
  std::string error;  // set when value is empty: why
};

// Where the simulators offer their state, as the demo starts them.
constexpr const char* kBaseComponent = "BaseSim0";
constexpr const char* kBaseStatusPort = "BaseStatusService";
constexpr const char* kBaseStatusType = "SimBase::BaseStatusService";
constexpr const char* kBaseStatusInstance = "BaseStatusService";
constexpr const char* kCellComponent = "RobotController0";
constexpr const char* kCellStatePort = "CellState";
constexpr const char* kCellStateType = "HiroSim::CellState";
constexpr const char* kCellStateInstance = "cellState";

// The building: walls, start, arrival and finish points and the footprint (no base, no path).
// An error until the base has loaded its floor plan (at its first activation).
SourceReading<BuildingSnapshot> readBuilding(SimBase::BaseStatusService_ptr base);

// The base's true pose now, and the simulated time.
struct BaseNow {
  FloorPose pose;
  double time_s = 0.0;
};
SourceReading<BaseNow> readBaseNow(SimBase::BaseStatusService_ptr base);

// The cell now: table, tray with its slots, objects, both hands, the put-down place and time.
SourceReading<CellSnapshot> readCell(HiroSim::CellState_ptr cell);

// The services reached through the name server at "host:port", found by the component's
// instance name; calls on them time out after a few seconds.
SourceReading<SimBase::BaseStatusService_var> findBaseStatus(
    CORBA::ORB_ptr orb, const std::string& nameServer,
    const std::string& component = kBaseComponent);
SourceReading<HiroSim::CellState_var> findCellState(CORBA::ORB_ptr orb,
                                                    const std::string& nameServer,
                                                    const std::string& component = kCellComponent);

}  // namespace scene_views
