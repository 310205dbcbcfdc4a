#include "scene_feed.h"

#include <utility>

#include "cell_view.h"
#include "scene_sources.h"

namespace dashboard {

namespace {

const char* const kBuildingTitle = "Building from above";
const char* const kCellTopTitle = "Cell from above";
const char* const kCellSideTitle = "Cell from the side";

}  // namespace

SceneFeed::SceneFeed(CORBA::ORB_ptr orb, std::string nameServer)
    : orb_(CORBA::ORB::_duplicate(orb)), nameServer_(std::move(nameServer)) {}

std::vector<ScenePicture> SceneFeed::draw() {
  std::vector<ScenePicture> pictures{drawBuilding()};
  for (ScenePicture& picture : drawCell()) pictures.push_back(std::move(picture));
  return pictures;
}

ScenePicture SceneFeed::drawBuilding() {
  ScenePicture picture{"building", kBuildingTitle, {}, ""};
  if (CORBA::is_nil(base_)) {
    auto found = scene_views::findBaseStatus(orb_, nameServer_);
    if (!found.value) {
      picture.problem = found.error;
      return picture;
    }
    base_ = *found.value;
    // Another base process, perhaps with another building: start the picture afresh.
    building_.reset();
    trail_.clear();
  }
  if (!building_) {
    auto building = scene_views::readBuilding(base_);
    if (!building.value) {
      picture.problem = building.error;
      return picture;
    }
    building_ = *building.value;
  }
  auto now = scene_views::readBaseNow(base_);
  if (!now.value) {
    // Lost: found and read afresh next round (the base may have been restarted).
    base_ = SimBase::BaseStatusService::_nil();
    picture.problem = now.error;
    return picture;
  }
  trail_.add({now.value->pose.x_m, now.value->pose.y_m});
  scene_views::BuildingSnapshot snapshot = *building_;
  snapshot.base = now.value->pose;
  snapshot.pathDriven = trail_.points();
  snapshot.time_s = now.value->time_s;
  picture.picture = scene_views::drawBuildingTop(snapshot, {kBuildingWidth_px, kBuildingHeight_px});
  return picture;
}

std::vector<ScenePicture> SceneFeed::drawCell() {
  ScenePicture top{"cell-top", kCellTopTitle, {}, ""};
  ScenePicture side{"cell-side", kCellSideTitle, {}, ""};
  std::string problem;
  if (CORBA::is_nil(cell_)) {
    auto found = scene_views::findCellState(orb_, nameServer_);
    if (found.value) {
      cell_ = *found.value;
    } else {
      problem = found.error;
    }
  }
  if (problem.empty()) {
    auto cell = scene_views::readCell(cell_);
    if (cell.value) {
      top.picture = scene_views::drawCellTop(*cell.value, {kCellWidth_px, kCellHeight_px});
      side.picture = scene_views::drawCellSide(*cell.value, {kCellWidth_px, kCellHeight_px});
    } else {
      cell_ = HiroSim::CellState::_nil();
      problem = cell.error;
    }
  }
  top.problem = side.problem = problem;
  return {top, side};
}

}  // namespace dashboard
