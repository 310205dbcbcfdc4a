#pragma once
// The arm cell from above and from the side: the table, the tray with its slots, each object,
// both hands with their openings and the tray's put-down place, to scale with a scale bar.
//
// Robot frame R, millimetres: x forwards, y to the robot's left, z up; yaw counter-clockwise
// about z. From above the robot looks up the picture (x up, y to the left); from the side the
// cell is seen from the robot's right (x to the right, z up).

#include <optional>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "view_frame.h"

namespace scene_views {

// The table's top: a rectangle aligned with R.
struct CellTable {
  double topZ_mm = 0.0;
  double minX_mm = 0.0;
  double maxX_mm = 0.0;
  double minY_mm = 0.0;
  double maxY_mm = 0.0;
};

// A place of the tray: the centre of its top surface and its yaw.
struct TrayPose {
  double x_mm = 0.0;
  double y_mm = 0.0;
  double topZ_mm = 0.0;
  double yaw_rad = 0.0;
};

struct CellTray {
  TrayPose pose;
  double length_mm = 0.0;  // along the tray's own x axis
  double width_mm = 0.0;   // along its own y axis
  double thickness_mm = 0.0;
  bool lifted = false;  // carried by both hands
};

// A placing slot, fixed to the tray: its centre in the tray's own frame (from the top-surface
// centre, along the tray's x and y axes).
struct TraySlot {
  long classId = 0;
  int slot = 0;
  double along_mm = 0.0;
  double across_mm = 0.0;
};

enum class ObjectSupport { Table, Tray, RightHand, LeftHand };

struct CellObject {
  int index = 0;  // position in the scene, from 0
  long classId = 0;
  ObjectSupport support = ObjectSupport::Table;
  double x_mm = 0.0;  // centre of the object's base
  double y_mm = 0.0;
  double z_mm = 0.0;
  double yaw_rad = 0.0;
  double depth_mm = 0.0;  // along the object's own x axis
  double width_mm = 0.0;  // along its own y axis
  double height_mm = 0.0;
};

// A hand by its fingertips: their midpoint, the direction along which they open (unit vector
// in R) and the distance between them.
struct CellHand {
  double x_mm = 0.0;
  double y_mm = 0.0;
  double z_mm = 0.0;
  double openingX = 0.0;
  double openingY = 1.0;
  double openingZ = 0.0;
  double opening_mm = 0.0;
};

// What the cell views show at one moment; anything not known is left out of the picture.
struct CellSnapshot {
  std::optional<CellTable> table;
  std::optional<CellTray> tray;
  std::vector<TraySlot> slots;
  std::vector<CellObject> objects;
  std::optional<CellHand> rightHand;
  std::optional<CellHand> leftHand;
  std::optional<TrayPose> putDown;  // where the tray task puts the tray
  std::optional<double> time_s;     // shown in the caption when known
};

// Where a slot is in R with the tray at `tray`.
struct SlotCentre {
  double x_mm = 0.0;
  double y_mm = 0.0;
};
SlotCentre slotCentre(const TrayPose& tray, const TraySlot& slot);

// The cell views' colours (blue, green, red).
const cv::Scalar kTableColour(205, 215, 220);
const cv::Scalar kTrayColour(120, 170, 210);
const cv::Scalar kTrayEdgeColour(60, 100, 140);
const cv::Scalar kPutDownColour(40, 160, 40);
const cv::Scalar kRobotBodyColour(150, 150, 150);
const cv::Scalar kRightHandColour(40, 40, 200);
const cv::Scalar kLeftHandColour(200, 80, 40);
// Objects by class; classes beyond the list take the last colour.
const std::vector<cv::Scalar>& objectColours();
cv::Scalar objectColour(long classId);
// The same colour, darker: object outlines, and the ring of a slot for objects of that class.
cv::Scalar darker(const cv::Scalar& colour);
cv::Scalar slotColour(long classId);

constexpr double kRobotBodyRadius_mm = 150.0;    // the chest, drawn around R's origin
constexpr double kCellRoom_mm = 60.0;            // shown around everything there is
constexpr double kEmptyCellScale_px = 0.5;       // per millimetre, when there is nothing to fit
constexpr double kTableSlabThickness_mm = 20.0;  // drawn under the top in the side view
constexpr int kFingertipRadius_px = 4;
constexpr int kSlotRadius_px = 5;

// How each view maps the cell onto a picture of `size` (everything in the snapshot fits, the
// robot's body included).
PlaneTransform cellTopTransform(const CellSnapshot& snapshot, const ViewSize& size);
PlaneTransform cellSideTransform(const CellSnapshot& snapshot, const ViewSize& size);

// Where a point of R falls on each view's plane.
PlanePoint topPlanePoint(double x_mm, double y_mm);
PlanePoint sidePlanePoint(double x_mm, double z_mm);

// The legend's entries for what the snapshot holds: the table, the tray, its slots, the
// put-down place, each class of object, the hands.
std::vector<LegendEntry> cellLegend(const CellSnapshot& snapshot);

cv::Mat drawCellTop(const CellSnapshot& snapshot, const ViewSize& size = {});
cv::Mat drawCellSide(const CellSnapshot& snapshot, const ViewSize& size = {});

}  // namespace scene_views
