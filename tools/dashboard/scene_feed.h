#pragma once
// The building and cell pictures of the page, drawn with scene_views from what the simulated
// base and the simulated cell report over CORBA (scene_sources: BaseFollower keeps the floor
// plan and the path driven from the poses sampled each round, CellReader reads the cell).
// Runs on the watcher's thread at its rate. A simulator that is missing or does not answer
// gives its pictures' place a one-line reason instead, and is looked for again later.
#include <omniORB4/CORBA.h>

#include <string>
#include <vector>

#include "scene_sources.h"
#include "watcher.h"

namespace dashboard {

inline constexpr int kBuildingWidth_px = 640;
inline constexpr int kBuildingHeight_px = 480;
inline constexpr int kCellWidth_px = 480;
inline constexpr int kCellHeight_px = 360;

class SceneFeed {
 public:
  SceneFeed(CORBA::ORB_ptr orb, const std::string& nameServer);

  // Building from above, cell from above, cell from the side.
  std::vector<ScenePicture> draw();

 private:
  ScenePicture drawBuilding();
  std::vector<ScenePicture> drawCell();

  scene_views::BaseFollower base_;
  scene_views::CellReader cell_;
};

}  // namespace dashboard
