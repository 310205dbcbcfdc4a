#pragma once
// The building from above: its walls, the base with its footprint and heading, the path driven
// so far and the route's arrival and finish points, to scale with a scale bar. Building frame:
// x to the picture's right, y up, metres; heading counter-clockwise from x.

#include <optional>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "view_frame.h"

namespace scene_views {

struct FloorPoint {
  double x_m = 0.0;
  double y_m = 0.0;
};

struct FloorWall {
  FloorPoint from;
  FloorPoint to;
};

struct FloorPose {
  double x_m = 0.0;
  double y_m = 0.0;
  double heading_rad = 0.0;
};

// What the building view shows at one moment.
struct BuildingSnapshot {
  std::vector<FloorWall> walls;        // infinitely thin segments
  std::optional<FloorPose> base;       // the base now (true pose, or odometry)
  double footprintRadius_m = 0.0;      // the base's round outline; 0 draws a marker
  std::vector<FloorPoint> pathDriven;  // oldest first
  std::optional<FloorPoint> start;     // where the base started
  std::optional<FloorPoint> arrival;   // where the route reports its arrival
  std::optional<FloorPoint> finish;    // where the route reports its finish
  std::optional<double> time_s;        // shown in the caption when known
};

// The building view's colours (blue, green, red).
const cv::Scalar kWallColour(40, 40, 40);
const cv::Scalar kPathColour(200, 120, 20);
const cv::Scalar kBaseColour(15, 129, 239);
const cv::Scalar kHeadingColour(20, 20, 160);
const cv::Scalar kStartColour(150, 150, 150);
const cv::Scalar kArrivalColour(40, 160, 40);
const cv::Scalar kFinishColour(40, 40, 200);

constexpr int kWallThickness_px = 2;
constexpr int kPathThickness_px = 2;
constexpr int kPointMarkRadius_px = 6;
constexpr double kBuildingRoom_m = 0.3;        // shown around everything there is
constexpr double kEmptyBuildingScale_px = 50;  // per metre, when there is nothing to fit

// How the building view maps the building onto a picture of `size`: everything the snapshot
// holds (walls, path, base with its footprint, points) fits, with kBuildingRoom_m around it.
PlaneTransform buildingTransform(const BuildingSnapshot& snapshot, const ViewSize& size);

// The legend's entries for what the snapshot holds, in drawing order.
std::vector<LegendEntry> buildingLegend(const BuildingSnapshot& snapshot);

// The building as seen from above. Never empty: a snapshot with nothing in it gives a blank
// picture with its scale bar.
cv::Mat drawBuildingTop(const BuildingSnapshot& snapshot, const ViewSize& size = {});

}  // namespace scene_views
