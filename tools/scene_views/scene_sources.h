#pragma once
// The views' snapshots filled from the simulators over CORBA: the building and the base's true
// pose from the simulated base's status service, the arm cell from the simulated cell's state
// service. Every failure, CORBA exceptions included, comes back as a one-line reason.

#include <omniORB4/CORBA.h>

#include <HiroSimCell.hh>
#include <SimBase.hh>
#include <chrono>
#include <optional>
#include <string>

#include "building_view.h"
#include "cell_view.h"
#include "path_trail.h"

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

// Keeps up with the simulated base for a view that follows a run: finds its status service (and
// finds it again after a failure, at most every kLookupInterval_s), keeps its floor plan once
// loaded, and collects the path driven from the poses sampled. Not guarded: one thread at a
// time, or the caller's lock.
class BaseFollower {
 public:
  static constexpr double kLookupInterval_s = 0.5;

  BaseFollower(CORBA::ORB_ptr orb, std::string nameServer, std::string component = kBaseComponent);

  // Asks the base once: its floor plan until it is known, and its pose now. Empty when all of
  // that went well, otherwise why not (the component's name first).
  std::string sample();

  // The building with the path driven so far and the base where it was last seen.
  BuildingSnapshot snapshot() const;
  bool buildingKnown() const { return building_.has_value(); }
  bool poseKnown() const { return lastPose_.has_value(); }
  const PathTrail& trail() const { return trail_; }

 private:
  CORBA::ORB_ptr orb_;
  std::string nameServer_;
  std::string component_;
  SimBase::BaseStatusService_var service_;
  std::chrono::steady_clock::time_point nextLookup_;
  std::string lookupError_;  // why the service was lost, said again until the next lookup
  std::optional<BuildingSnapshot> building_;
  std::optional<FloorPose> lastPose_;
  std::optional<double> lastTime_s_;
  PathTrail trail_;
};

// Reads the simulated cell, finding its state service again after a failure. Not guarded.
class CellReader {
 public:
  CellReader(CORBA::ORB_ptr orb, std::string nameServer, std::string component = kCellComponent);

  SourceReading<CellSnapshot> read();

 private:
  CORBA::ORB_ptr orb_;
  std::string nameServer_;
  std::string component_;
  HiroSim::CellState_var service_;
};

}  // namespace scene_views
