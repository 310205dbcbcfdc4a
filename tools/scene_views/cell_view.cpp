#include "cell_view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <set>

#include <opencv2/imgproc.hpp>

namespace scene_views {
namespace {

constexpr int kOutlineThickness_px = 1;
constexpr int kHandLineThickness_px = 2;
constexpr double kLabelFontScale = 0.4;

struct RPoint {
  double x_mm = 0.0;
  double y_mm = 0.0;
};

// The four corners in R of a rectangle centred at (x, y), turned by yaw, `along` long on its
// own x axis and `across` on its own y axis.
std::array<RPoint, 4> corners(double x_mm, double y_mm, double yaw_rad, double along_mm,
                              double across_mm) {
  const double c = std::cos(yaw_rad);
  const double s = std::sin(yaw_rad);
  std::array<RPoint, 4> result;
  const std::array<std::array<double, 2>, 4> signs{{{1, 1}, {-1, 1}, {-1, -1}, {1, -1}}};
  for (std::size_t i = 0; i < 4; ++i) {
    const double a = signs[i][0] * along_mm / 2.0;
    const double b = signs[i][1] * across_mm / 2.0;
    result[i] = {x_mm + a * c - b * s, y_mm + a * s + b * c};
  }
  return result;
}

std::array<RPoint, 4> trayCorners(const TrayPose& pose, const CellTray& shape) {
  return corners(pose.x_mm, pose.y_mm, pose.yaw_rad, shape.length_mm, shape.width_mm);
}

std::array<RPoint, 4> objectCorners(const CellObject& object) {
  return corners(object.x_mm, object.y_mm, object.yaw_rad, object.depth_mm, object.width_mm);
}

std::vector<cv::Point> topPolygon(const PlaneTransform& transform,
                                  const std::array<RPoint, 4>& points) {
  std::vector<cv::Point> polygon;
  for (const RPoint& point : points) {
    polygon.push_back(transform.pixel(topPlanePoint(point.x_mm, point.y_mm)));
  }
  return polygon;
}

// The x extent of a footprint, for the side view.
std::pair<double, double> xExtent(const std::array<RPoint, 4>& points) {
  double low = points[0].x_mm;
  double high = points[0].x_mm;
  for (const RPoint& point : points) {
    low = std::min(low, point.x_mm);
    high = std::max(high, point.x_mm);
  }
  return {low, high};
}

void sideBox(cv::Mat& picture, const PlaneTransform& transform, std::pair<double, double> x_mm,
             double bottomZ_mm, double topZ_mm, const cv::Scalar& fill, const cv::Scalar& edge) {
  const cv::Point a = transform.pixel(sidePlanePoint(x_mm.first, topZ_mm));
  const cv::Point b = transform.pixel(sidePlanePoint(x_mm.second, bottomZ_mm));
  cv::rectangle(picture, a, b, fill, cv::FILLED, cv::LINE_8);
  if (edge != fill) cv::rectangle(picture, a, b, edge, kOutlineThickness_px, cv::LINE_8);
}

void label(cv::Mat& picture, const std::string& text, cv::Point at, const cv::Scalar& colour) {
  cv::putText(picture, text, at, cv::FONT_HERSHEY_SIMPLEX, kLabelFontScale, colour, 1, cv::LINE_AA);
}

// The two fingertips of a hand.
std::array<std::array<double, 3>, 2> fingertips(const CellHand& hand) {
  const double half = hand.opening_mm / 2.0;
  return {{{hand.x_mm + hand.openingX * half, hand.y_mm + hand.openingY * half,
            hand.z_mm + hand.openingZ * half},
           {hand.x_mm - hand.openingX * half, hand.y_mm - hand.openingY * half,
            hand.z_mm - hand.openingZ * half}}};
}

template <class Project>
void drawHand(cv::Mat& picture, const PlaneTransform& transform,
              const std::optional<CellHand>& hand, const cv::Scalar& colour, const char* name,
              Project project) {
  if (!hand) return;
  const auto tips = fingertips(*hand);
  const cv::Point a = transform.pixel(project(tips[0]));
  const cv::Point b = transform.pixel(project(tips[1]));
  cv::line(picture, a, b, colour, kHandLineThickness_px, cv::LINE_AA);
  cv::circle(picture, a, kFingertipRadius_px, colour, cv::FILLED, cv::LINE_AA);
  cv::circle(picture, b, kFingertipRadius_px, colour, cv::FILLED, cv::LINE_AA);
  label(picture, name, {std::max(a.x, b.x) + kFingertipRadius_px + 2, (a.y + b.y) / 2}, colour);
}

std::string caption(const CellSnapshot& snapshot) {
  if (!snapshot.time_s) return "";
  char text[48];
  std::snprintf(text, sizeof text, "t %.1f s", *snapshot.time_s);
  return text;
}

// Everything the snapshot holds, as footprints in R (for the top view's bounds) and as x/z
// extents (for the side view's).
template <class Include>
void forEachCellPoint(const CellSnapshot& snapshot, Include include) {
  include(kRobotBodyRadius_mm, kRobotBodyRadius_mm, 0.0);
  include(-kRobotBodyRadius_mm, -kRobotBodyRadius_mm, 0.0);
  if (snapshot.table) {
    const CellTable& table = *snapshot.table;
    include(table.minX_mm, table.minY_mm, table.topZ_mm - kTableSlabThickness_mm);
    include(table.maxX_mm, table.maxY_mm, table.topZ_mm);
  }
  if (snapshot.tray) {
    for (const RPoint& point : trayCorners(snapshot.tray->pose, *snapshot.tray)) {
      include(point.x_mm, point.y_mm, snapshot.tray->pose.topZ_mm - snapshot.tray->thickness_mm);
    }
    if (snapshot.putDown) {
      for (const RPoint& point : trayCorners(*snapshot.putDown, *snapshot.tray)) {
        include(point.x_mm, point.y_mm, snapshot.putDown->topZ_mm - snapshot.tray->thickness_mm);
      }
    }
  } else if (snapshot.putDown) {
    include(snapshot.putDown->x_mm, snapshot.putDown->y_mm, snapshot.putDown->topZ_mm);
  }
  for (const CellObject& object : snapshot.objects) {
    for (const RPoint& point : objectCorners(object)) {
      include(point.x_mm, point.y_mm, object.z_mm);
      include(point.x_mm, point.y_mm, object.z_mm + object.height_mm);
    }
  }
  for (const auto* hand : {&snapshot.rightHand, &snapshot.leftHand}) {
    if (!*hand) continue;
    for (const auto& tip : fingertips(**hand)) include(tip[0], tip[1], tip[2]);
  }
}

}  // namespace

SlotCentre slotCentre(const TrayPose& tray, const TraySlot& slot) {
  const double c = std::cos(tray.yaw_rad);
  const double s = std::sin(tray.yaw_rad);
  return {tray.x_mm + slot.along_mm * c - slot.across_mm * s,
          tray.y_mm + slot.along_mm * s + slot.across_mm * c};
}

const std::vector<cv::Scalar>& objectColours() {
  static const std::vector<cv::Scalar> colours{
      {60, 180, 240}, {180, 90, 160}, {90, 200, 120}, {160, 160, 60}};
  return colours;
}

cv::Scalar darker(const cv::Scalar& colour) {
  constexpr double kShade = 0.6;
  return {std::round(colour[0] * kShade), std::round(colour[1] * kShade),
          std::round(colour[2] * kShade)};
}

cv::Scalar slotColour(long classId) { return darker(objectColour(classId)); }

cv::Scalar objectColour(long classId) {
  const auto& colours = objectColours();
  if (classId < 0) return colours.back();
  return colours[std::min<std::size_t>(static_cast<std::size_t>(classId), colours.size() - 1)];
}

PlanePoint topPlanePoint(double x_mm, double y_mm) { return {-y_mm, x_mm}; }
PlanePoint sidePlanePoint(double x_mm, double z_mm) { return {x_mm, z_mm}; }

std::vector<LegendEntry> cellLegend(const CellSnapshot& snapshot) {
  using Mark = LegendEntry::Mark;
  std::vector<LegendEntry> entries;
  if (snapshot.table) entries.push_back({Mark::Box, kTableColour, "table"});
  if (snapshot.tray) entries.push_back({Mark::Box, kTrayColour, "tray"});
  if (snapshot.tray && !snapshot.slots.empty()) {
    entries.push_back({Mark::Ring, slotColour(snapshot.slots.front().classId), "slot"});
  }
  if (snapshot.putDown) entries.push_back({Mark::DashedBox, kPutDownColour, "put-down"});
  std::set<long> classes;
  for (const CellObject& object : snapshot.objects) classes.insert(object.classId);
  for (const long classId : classes) {
    entries.push_back({Mark::Box, objectColour(classId), "class " + std::to_string(classId)});
  }
  if (snapshot.rightHand) entries.push_back({Mark::Pair, kRightHandColour, "R hand"});
  if (snapshot.leftHand) entries.push_back({Mark::Pair, kLeftHandColour, "L hand"});
  return entries;
}

PlaneTransform cellTopTransform(const CellSnapshot& snapshot, const ViewSize& size) {
  PlaneBounds bounds = PlaneBounds::none();
  forEachCellPoint(snapshot,
                   [&](double x, double y, double) { bounds.include(topPlanePoint(x, y)); });
  return PlaneTransform::fitted(bounds.grownBy(kCellRoom_mm), size, kEmptyCellScale_px);
}

PlaneTransform cellSideTransform(const CellSnapshot& snapshot, const ViewSize& size) {
  PlaneBounds bounds = PlaneBounds::none();
  forEachCellPoint(snapshot,
                   [&](double x, double, double z) { bounds.include(sidePlanePoint(x, z)); });
  return PlaneTransform::fitted(bounds.grownBy(kCellRoom_mm), size, kEmptyCellScale_px);
}

cv::Mat drawCellTop(const CellSnapshot& snapshot, const ViewSize& size) {
  cv::Mat picture(size.height_px, size.width_px, CV_8UC3, kBackgroundColour);
  const PlaneTransform transform = cellTopTransform(snapshot, size);
  const auto pixel = [&](double x_mm, double y_mm) {
    return transform.pixel(topPlanePoint(x_mm, y_mm));
  };

  if (snapshot.table) {
    const CellTable& table = *snapshot.table;
    cv::rectangle(picture, pixel(table.maxX_mm, table.maxY_mm), pixel(table.minX_mm, table.minY_mm),
                  kTableColour, cv::FILLED, cv::LINE_8);
  }
  const cv::Point robot = pixel(0.0, 0.0);
  cv::circle(picture, robot, transform.lengthPixels(kRobotBodyRadius_mm), kRobotBodyColour, 2,
             cv::LINE_AA);
  cv::arrowedLine(picture, robot, pixel(kRobotBodyRadius_mm, 0.0), kRobotBodyColour, 2,
                  cv::LINE_AA);

  if (snapshot.tray) {
    const CellTray& tray = *snapshot.tray;
    const auto polygon = topPolygon(transform, trayCorners(tray.pose, tray));
    cv::fillConvexPoly(picture, polygon, kTrayColour, cv::LINE_AA);
    cv::polylines(picture, polygon, true, kTrayEdgeColour, tray.lifted ? 3 : 1, cv::LINE_AA);
    if (snapshot.putDown) {
      drawDashedPolygon(picture, topPolygon(transform, trayCorners(*snapshot.putDown, tray)),
                        kPutDownColour);
    }
  } else if (snapshot.putDown) {
    cv::drawMarker(picture, pixel(snapshot.putDown->x_mm, snapshot.putDown->y_mm), kPutDownColour,
                   cv::MARKER_CROSS, 2 * kSlotRadius_px, 2, cv::LINE_8);
  }
  if (snapshot.tray) {
    for (const TraySlot& slot : snapshot.slots) {
      const SlotCentre centre = slotCentre(snapshot.tray->pose, slot);
      cv::circle(picture, pixel(centre.x_mm, centre.y_mm), kSlotRadius_px, slotColour(slot.classId),
                 1, cv::LINE_8);
    }
  }

  for (const CellObject& object : snapshot.objects) {
    const auto polygon = topPolygon(transform, objectCorners(object));
    const cv::Scalar colour = objectColour(object.classId);
    cv::fillConvexPoly(picture, polygon, colour, cv::LINE_AA);
    cv::polylines(picture, polygon, true, darker(colour), kOutlineThickness_px, cv::LINE_AA);
    const cv::Point centre = pixel(object.x_mm, object.y_mm);
    label(picture, std::to_string(object.index), {centre.x + 2, centre.y - 2}, kInkColour);
  }

  const auto onTop = [](const std::array<double, 3>& p) { return topPlanePoint(p[0], p[1]); };
  drawHand(picture, transform, snapshot.rightHand, kRightHandColour, "R", onTop);
  drawHand(picture, transform, snapshot.leftHand, kLeftHandColour, "L", onTop);

  drawLegend(picture, cellLegend(snapshot));
  drawScaleBar(picture, transform.pixelsPerUnit(), "mm", caption(snapshot));
  return picture;
}

cv::Mat drawCellSide(const CellSnapshot& snapshot, const ViewSize& size) {
  cv::Mat picture(size.height_px, size.width_px, CV_8UC3, kBackgroundColour);
  const PlaneTransform transform = cellSideTransform(snapshot, size);

  if (snapshot.table) {
    const CellTable& table = *snapshot.table;
    sideBox(picture, transform, {table.minX_mm, table.maxX_mm},
            table.topZ_mm - kTableSlabThickness_mm, table.topZ_mm, kTableColour, kTableColour);
  }
  const cv::Point robot = transform.pixel(sidePlanePoint(0.0, 0.0));
  cv::drawMarker(picture, robot, kRobotBodyColour, cv::MARKER_CROSS,
                 transform.lengthPixels(kRobotBodyRadius_mm), 2, cv::LINE_8);

  if (snapshot.tray) {
    const CellTray& tray = *snapshot.tray;
    sideBox(picture, transform, xExtent(trayCorners(tray.pose, tray)),
            tray.pose.topZ_mm - tray.thickness_mm, tray.pose.topZ_mm, kTrayColour, kTrayEdgeColour);
    if (snapshot.putDown) {
      const auto x = xExtent(trayCorners(*snapshot.putDown, tray));
      const double top = snapshot.putDown->topZ_mm;
      const double bottom = top - tray.thickness_mm;
      drawDashedPolygon(picture,
                        {transform.pixel(sidePlanePoint(x.first, top)),
                         transform.pixel(sidePlanePoint(x.second, top)),
                         transform.pixel(sidePlanePoint(x.second, bottom)),
                         transform.pixel(sidePlanePoint(x.first, bottom))},
                        kPutDownColour);
    }
  }

  // Seen from the robot's right: the objects further left first, the nearer ones over them.
  std::vector<const CellObject*> farthestFirst;
  for (const CellObject& object : snapshot.objects) farthestFirst.push_back(&object);
  std::stable_sort(farthestFirst.begin(), farthestFirst.end(),
                   [](const CellObject* a, const CellObject* b) { return a->y_mm > b->y_mm; });
  for (const CellObject* objectAt : farthestFirst) {
    const CellObject& object = *objectAt;
    const cv::Scalar colour = objectColour(object.classId);
    sideBox(picture, transform, xExtent(objectCorners(object)), object.z_mm,
            object.z_mm + object.height_mm, colour, darker(colour));
  }

  const auto onSide = [](const std::array<double, 3>& p) { return sidePlanePoint(p[0], p[2]); };
  drawHand(picture, transform, snapshot.rightHand, kRightHandColour, "R", onSide);
  drawHand(picture, transform, snapshot.leftHand, kLeftHandColour, "L", onSide);

  drawLegend(picture, cellLegend(snapshot));
  drawScaleBar(picture, transform.pixelsPerUnit(), "mm", caption(snapshot));
  return picture;
}

}  // namespace scene_views
