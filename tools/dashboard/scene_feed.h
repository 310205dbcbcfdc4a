#pragma once
// The building and cell pictures of the page, drawn with scene_views from what the simulated
// base and the simulated cell report over CORBA. Runs on the watcher's thread at its rate: the
// base's true pose is sampled each round into the path driven, the floor plan is read once
// (again after the base was lost), the cell is read each round. A simulator that is missing or
// does not answer gives its pictures' place a one-line reason instead, and is looked for again
// in the next round.
#include <omniORB4/CORBA.h>

#include <HiroSimCell.hh>
#include <SimBase.hh>
#include <optional>
#include <string>
#include <vector>

#include "building_view.h"
#include "path_trail.h"
#include "watcher.h"

namespace dashboard {

inline constexpr int kBuildingWidth_px = 640;
inline constexpr int kBuildingHeight_px = 480;
inline constexpr int kCellWidth_px = 480;
inline constexpr int kCellHeight_px = 360;

class SceneFeed {
 public:
  SceneFeed(CORBA::ORB_ptr orb, std::string nameServer);

  // Building from above, cell from above, cell from the side.
  std::vector<ScenePicture> draw();

 private:
  ScenePicture drawBuilding();
  std::vector<ScenePicture> drawCell();

  CORBA::ORB_var orb_;
  std::string nameServer_;
  SimBase::BaseStatusService_var base_;
  std::optional<scene_views::BuildingSnapshot> building_;
  scene_views::PathTrail trail_;
  HiroSim::CellState_var cell_;
};

}  // namespace dashboard
