#include "building_view.h"

#include <cmath>
#include <cstdio>

#include <opencv2/imgproc.hpp>

namespace scene_views {
namespace {

PlanePoint onPlane(const FloorPoint& point) { return {point.x_m, point.y_m}; }

void drawPointMark(cv::Mat& picture, const PlaneTransform& transform,
                   const std::optional<FloorPoint>& point, const cv::Scalar& colour) {
  if (!point) return;
  const cv::Point at = transform.pixel(onPlane(*point));
  cv::circle(picture, at, kPointMarkRadius_px, colour, 2, cv::LINE_AA);
  cv::drawMarker(picture, at, colour, cv::MARKER_CROSS, kPointMarkRadius_px, 1, cv::LINE_8);
}

void drawBase(cv::Mat& picture, const PlaneTransform& transform, const FloorPose& base,
              double footprintRadius_m) {
  const cv::Point centre = transform.pixel({base.x_m, base.y_m});
  const int radius_px = std::max(kPointMarkRadius_px, transform.lengthPixels(footprintRadius_m));
  cv::circle(picture, centre, radius_px, kBaseColour, cv::FILLED, cv::LINE_AA);
  const double noseLength_m = std::max(footprintRadius_m, radius_px / transform.pixelsPerUnit());
  const cv::Point nose = transform.pixel({base.x_m + noseLength_m * std::cos(base.heading_rad),
                                          base.y_m + noseLength_m * std::sin(base.heading_rad)});
  cv::line(picture, centre, nose, kHeadingColour, 2, cv::LINE_AA);
}

std::string caption(const BuildingSnapshot& snapshot) {
  if (!snapshot.time_s) return "";
  char text[48];
  std::snprintf(text, sizeof text, "t %.1f s", *snapshot.time_s);
  return text;
}

}  // namespace

std::vector<LegendEntry> buildingLegend(const BuildingSnapshot& snapshot) {
  using Mark = LegendEntry::Mark;
  std::vector<LegendEntry> entries;
  if (!snapshot.walls.empty()) entries.push_back({Mark::Line, kWallColour, "wall"});
  if (snapshot.pathDriven.size() >= 2) entries.push_back({Mark::Line, kPathColour, "path driven"});
  if (snapshot.base) entries.push_back({Mark::Disc, kBaseColour, "base"});
  if (snapshot.start) entries.push_back({Mark::Ring, kStartColour, "start"});
  if (snapshot.arrival) entries.push_back({Mark::Ring, kArrivalColour, "arrival"});
  if (snapshot.finish) entries.push_back({Mark::Ring, kFinishColour, "finish"});
  return entries;
}

PlaneTransform buildingTransform(const BuildingSnapshot& snapshot, const ViewSize& size) {
  PlaneBounds bounds = PlaneBounds::none();
  for (const FloorWall& wall : snapshot.walls) {
    bounds.include(onPlane(wall.from));
    bounds.include(onPlane(wall.to));
  }
  for (const FloorPoint& point : snapshot.pathDriven) bounds.include(onPlane(point));
  for (const auto& point : {snapshot.start, snapshot.arrival, snapshot.finish}) {
    if (point) bounds.include(onPlane(*point));
  }
  if (snapshot.base) {
    const double r = snapshot.footprintRadius_m;
    bounds.include({snapshot.base->x_m - r, snapshot.base->y_m - r});
    bounds.include({snapshot.base->x_m + r, snapshot.base->y_m + r});
  }
  return PlaneTransform::fitted(bounds.grownBy(kBuildingRoom_m), size, kEmptyBuildingScale_px);
}

cv::Mat drawBuildingTop(const BuildingSnapshot& snapshot, const ViewSize& size) {
  cv::Mat picture(size.height_px, size.width_px, CV_8UC3, kBackgroundColour);
  const PlaneTransform transform = buildingTransform(snapshot, size);

  for (const FloorWall& wall : snapshot.walls) {
    cv::line(picture, transform.pixel(onPlane(wall.from)), transform.pixel(onPlane(wall.to)),
             kWallColour, kWallThickness_px, cv::LINE_8);
  }
  if (snapshot.pathDriven.size() >= 2) {
    std::vector<cv::Point> polyline;
    polyline.reserve(snapshot.pathDriven.size());
    for (const FloorPoint& point : snapshot.pathDriven) {
      polyline.push_back(transform.pixel(onPlane(point)));
    }
    cv::polylines(picture, polyline, false, kPathColour, kPathThickness_px, cv::LINE_AA);
  }
  drawPointMark(picture, transform, snapshot.start, kStartColour);
  drawPointMark(picture, transform, snapshot.arrival, kArrivalColour);
  drawPointMark(picture, transform, snapshot.finish, kFinishColour);
  if (snapshot.base) drawBase(picture, transform, *snapshot.base, snapshot.footprintRadius_m);

  drawLegend(picture, buildingLegend(snapshot));
  drawScaleBar(picture, transform.pixelsPerUnit(), "m", caption(snapshot));
  return picture;
}

}  // namespace scene_views
