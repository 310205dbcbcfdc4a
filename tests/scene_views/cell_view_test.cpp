// The cell views: a cell state gives the objects, the tray, its slots and the hands at their
// scaled places, from above and from the side.
#include "cell_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "picture_probe.h"

namespace scene_views {
namespace {

const ViewSize kSize{640, 480};

// A table in front of the robot, the tray to its left turned by 90 degrees, one object of
// class 0 on the table, one of class 1 on the tray, both hands above the table.
CellSnapshot cell() {
  CellSnapshot snapshot;
  snapshot.table = CellTable{30.0, 200.0, 600.0, -300.0, 300.0};
  CellTray tray;
  tray.pose = TrayPose{300.0, 200.0, 45.0, M_PI / 2.0};
  tray.length_mm = 200.0;
  tray.width_mm = 120.0;
  tray.thickness_mm = 15.0;
  snapshot.tray = tray;
  snapshot.slots = {{0, 0, 50.0, 0.0}, {1, 0, -50.0, 0.0}};
  snapshot.objects = {{0, 0, ObjectSupport::Table, 400.0, -150.0, 30.0, 0.0, 40.0, 40.0, 60.0},
                      {1, 1, ObjectSupport::Tray, 300.0, 150.0, 45.0, 0.0, 50.0, 50.0, 80.0}};
  snapshot.rightHand = CellHand{450.0, -100.0, 250.0, 0.0, 1.0, 0.0, 80.0};
  snapshot.leftHand = CellHand{450.0, 100.0, 250.0, 0.0, 1.0, 0.0, 20.0};
  snapshot.putDown = TrayPose{-100.0, 400.0, 15.0, 0.0};
  return snapshot;
}

TEST(SlotCentre, followsTheTraysPlaceAndTurn) {
  const SlotCentre centre = slotCentre(TrayPose{300.0, 200.0, 45.0, M_PI / 2.0}, {0, 0, 50.0, 0.0});
  EXPECT_NEAR(centre.x_mm, 300.0, 1e-9);
  EXPECT_NEAR(centre.y_mm, 250.0, 1e-9);
  const SlotCentre across = slotCentre(TrayPose{0.0, 0.0, 0.0, 0.0}, {0, 1, 10.0, -20.0});
  EXPECT_NEAR(across.x_mm, 10.0, 1e-9);
  EXPECT_NEAR(across.y_mm, -20.0, 1e-9);
}

TEST(CellTopTransform, looksWithTheRobotUpThePicture) {
  const CellSnapshot snapshot = cell();
  const PlaneTransform transform = cellTopTransform(snapshot, kSize);
  const cv::Point robot = transform.pixel(topPlanePoint(0.0, 0.0));
  const cv::Point ahead = transform.pixel(topPlanePoint(100.0, 0.0));
  const cv::Point left = transform.pixel(topPlanePoint(0.0, 100.0));
  EXPECT_EQ(ahead.x, robot.x);
  EXPECT_LT(ahead.y, robot.y);
  EXPECT_LT(left.x, robot.x);
  EXPECT_EQ(left.y, robot.y);
  // Everything fits: the table's far corners and the put-down place.
  for (const cv::Point& corner :
       {transform.pixel(topPlanePoint(600.0, -300.0)), transform.pixel(topPlanePoint(200.0, 300.0)),
        transform.pixel(topPlanePoint(-200.0, 460.0))}) {
    EXPECT_GE(corner.x, kViewMargin_px);
    EXPECT_LT(corner.x, kSize.width_px - kViewMargin_px);
    EXPECT_GE(corner.y, kLegendStripHeight_px);
    EXPECT_LT(corner.y, kSize.height_px - kScaleStripHeight_px);
  }
}

TEST(DrawCellTop, drawsEachObjectAtItsScaledPlace) {
  const CellSnapshot snapshot = cell();
  const cv::Mat picture = drawCellTop(snapshot, kSize);
  const PlaneTransform transform = cellTopTransform(snapshot, kSize);
  const auto at = [&](double x, double y) { return transform.pixel(topPlanePoint(x, y)); };
  // Object 0: 40 mm square around (400, -150); its corners just inside, the table just outside.
  EXPECT_TRUE(hasColour(picture, at(415.0, -165.0), objectColour(0)));
  EXPECT_TRUE(hasColour(picture, at(385.0, -135.0), objectColour(0)));
  EXPECT_TRUE(hasColour(picture, at(430.0, -150.0), kTableColour));
  // Object 1 on the tray.
  EXPECT_TRUE(hasColour(picture, at(315.0, 165.0), objectColour(1)));
  EXPECT_TRUE(hasColour(picture, at(300.0, 190.0), kTrayColour));
}

TEST(DrawCellTop, drawsTheTrayTurnedWithItsSlotsAndThePutDownPlace) {
  const CellSnapshot snapshot = cell();
  const cv::Mat picture = drawCellTop(snapshot, kSize);
  const PlaneTransform transform = cellTopTransform(snapshot, kSize);
  const auto at = [&](double x, double y) { return transform.pixel(topPlanePoint(x, y)); };
  // Turned by 90 degrees: 200 mm along y, 120 mm along x.
  EXPECT_TRUE(hasColour(picture, at(300.0, 290.0), kTrayColour));
  EXPECT_TRUE(hasColour(picture, at(350.0, 230.0), kTrayColour));
  EXPECT_FALSE(hasColour(picture, at(300.0, 310.0), kTrayColour));
  EXPECT_FALSE(hasColour(picture, at(370.0, 230.0), kTrayColour));
  // Slot of class 0 at 50 mm along the tray: its ring.
  const cv::Point slot = at(300.0, 250.0);
  EXPECT_TRUE(hasColour(picture, slot + cv::Point(kSlotRadius_px, 0), slotColour(0)));
  // The put-down place's outline: a dash starts at each corner.
  const cv::Point corner = at(0.0, 460.0);
  bool outlined = false;
  for (int dx = -1; dx <= 1; ++dx) {
    for (int dy = -1; dy <= 1; ++dy) {
      outlined = outlined || hasColour(picture, corner + cv::Point(dx, dy), kPutDownColour);
    }
  }
  EXPECT_TRUE(outlined);
}

TEST(DrawCellTop, drawsBothHandsWithTheirOpenings) {
  const CellSnapshot snapshot = cell();
  const cv::Mat picture = drawCellTop(snapshot, kSize);
  const PlaneTransform transform = cellTopTransform(snapshot, kSize);
  const auto at = [&](double x, double y) { return transform.pixel(topPlanePoint(x, y)); };
  // The right hand opens 80 mm across y: fingertips at y -140 and -60.
  EXPECT_TRUE(hasColour(picture, at(450.0, -140.0), kRightHandColour));
  EXPECT_TRUE(hasColour(picture, at(450.0, -60.0), kRightHandColour));
  EXPECT_FALSE(hasColour(picture, at(450.0, -160.0), kRightHandColour));
  // The left hand is nearly closed: 20 mm.
  EXPECT_TRUE(hasColour(picture, at(450.0, 90.0), kLeftHandColour));
  EXPECT_FALSE(hasColour(picture, at(450.0, 130.0), kLeftHandColour));
}

TEST(DrawCellSide, drawsHeightsToScale) {
  const CellSnapshot snapshot = cell();
  const cv::Mat picture = drawCellSide(snapshot, kSize);
  const PlaneTransform transform = cellSideTransform(snapshot, kSize);
  const auto at = [&](double x, double z) { return transform.pixel(sidePlanePoint(x, z)); };
  // Object 0 stands 60 mm on the table (z 30..90), 40 mm deep around x 400.
  EXPECT_TRUE(hasColour(picture, at(400.0, 80.0), objectColour(0)));
  EXPECT_FALSE(hasColour(picture, at(400.0, 100.0), objectColour(0)));
  // The table's slab under its top.
  EXPECT_TRUE(hasColour(picture, at(550.0, 20.0), kTableColour));
  // Object 1 on the tray: 80 mm from the tray's top at 45 mm.
  EXPECT_TRUE(hasColour(picture, at(300.0, 115.0), objectColour(1)));
  EXPECT_FALSE(hasColour(picture, at(300.0, 135.0), objectColour(1)));
  // The hands at 250 mm.
  EXPECT_TRUE(hasColour(picture, at(450.0, 250.0), kRightHandColour) ||
              hasColour(picture, at(450.0, 250.0), kLeftHandColour));
}

TEST(DrawCell, carriesAScaleBarInMillimetres) {
  const CellSnapshot snapshot = cell();
  for (const bool top : {true, false}) {
    const cv::Mat picture = top ? drawCellTop(snapshot, kSize) : drawCellSide(snapshot, kSize);
    const PlaneTransform transform =
        top ? cellTopTransform(snapshot, kSize) : cellSideTransform(snapshot, kSize);
    const ScaleBar bar =
        chooseScaleBar(transform.pixelsPerUnit(), static_cast<int>(640 * kScaleBarShare));
    EXPECT_EQ(inkRunLength(picture, scaleBarStart(kSize), kInkColour), bar.length_px);
    EXPECT_EQ(bar.length_px, transform.lengthPixels(bar.length));
    EXPECT_GE(bar.length, 100.0);
  }
}

TEST(CellLegend, namesEachClassOnceAndOnlyWhatIsThere) {
  CellSnapshot snapshot = cell();
  snapshot.objects.push_back(snapshot.objects.front());
  std::vector<std::string> labels;
  for (const LegendEntry& entry : cellLegend(snapshot)) labels.push_back(entry.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"table", "tray", "slot", "put-down", "class 0",
                                              "class 1", "R hand", "L hand"}));
  labels.clear();
  for (const LegendEntry& entry : cellLegend(CellSnapshot{})) labels.push_back(entry.label);
  EXPECT_TRUE(labels.empty());
}

TEST(DrawCell, anEmptyCellStillShowsTheRobot) {
  const cv::Mat top = drawCellTop(CellSnapshot{}, kSize);
  const cv::Mat side = drawCellSide(CellSnapshot{}, kSize);
  EXPECT_GT(inkedPixels(top, kBackgroundColour), 100);
  EXPECT_GT(inkedPixels(side, kBackgroundColour), 100);
}

}  // namespace
}  // namespace scene_views
