#include "scene_feed.h"

#include <utility>

#include "building_view.h"
#include "cell_view.h"

namespace dashboard {

namespace {

const char* const kBuildingTitle = "Building from above";
const char* const kCellTopTitle = "Cell from above";
const char* const kCellSideTitle = "Cell from the side";

}  // namespace

SceneFeed::SceneFeed(CORBA::ORB_ptr orb, const std::string& nameServer)
    : base_(orb, nameServer), cell_(orb, nameServer) {}

std::vector<ScenePicture> SceneFeed::draw() {
  std::vector<ScenePicture> pictures{drawBuilding()};
  for (ScenePicture& picture : drawCell()) pictures.push_back(std::move(picture));
  return pictures;
}

ScenePicture SceneFeed::drawBuilding() {
  ScenePicture picture{"building", kBuildingTitle, {}, base_.sample()};
  // Once the building is known it stays drawn, with the base where it was last seen.
  if (base_.buildingKnown()) {
    picture.picture =
        scene_views::drawBuildingTop(base_.snapshot(), {kBuildingWidth_px, kBuildingHeight_px});
  }
  return picture;
}

std::vector<ScenePicture> SceneFeed::drawCell() {
  ScenePicture top{"cell-top", kCellTopTitle, {}, ""};
  ScenePicture side{"cell-side", kCellSideTitle, {}, ""};
  scene_views::SourceReading<scene_views::CellSnapshot> cell = cell_.read();
  if (cell.value) {
    top.picture = scene_views::drawCellTop(*cell.value, {kCellWidth_px, kCellHeight_px});
    side.picture = scene_views::drawCellSide(*cell.value, {kCellWidth_px, kCellHeight_px});
  } else {
    top.problem = side.problem = cell.error;
  }
  return {top, side};
}

}  // namespace dashboard
