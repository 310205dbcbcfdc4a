// The building view: a known floor plan and pose give known pixels.
#include "building_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "picture_probe.h"

namespace scene_views {
namespace {

// A 4 m x 2 m room; with the 0.3 m room around it the view spans 4.6 m x 2.6 m.
BuildingSnapshot room() {
  BuildingSnapshot snapshot;
  snapshot.walls = {{{0.0, 0.0}, {4.0, 0.0}},
                    {{4.0, 0.0}, {4.0, 2.0}},
                    {{4.0, 2.0}, {0.0, 2.0}},
                    {{0.0, 2.0}, {0.0, 0.0}}};
  snapshot.base = FloorPose{1.0, 1.0, 0.0};
  snapshot.footprintRadius_m = 0.25;
  return snapshot;
}

// 640 x 480: room for the drawing 608 x 404 pixels, from (16, 24).
const ViewSize kSize{640, 480};

TEST(BuildingTransform, fitsTheWallsWithTheirRoomAndCentresThem) {
  const PlaneTransform transform = buildingTransform(room(), kSize);
  // The width limits: 608 px over 4.6 m.
  EXPECT_NEAR(transform.pixelsPerUnit(), 608.0 / 4.6, 1e-9);
  const cv::Point2d lowerLeft = transform.exactPixel({-0.3, -0.3});
  const cv::Point2d upperRight = transform.exactPixel({4.3, 2.3});
  EXPECT_NEAR(lowerLeft.x, 16.0, 1e-9);
  EXPECT_NEAR(upperRight.x, 624.0, 1e-9);
  // Vertically centred in the 404 rows between the legend and the scale strip; y grows upwards.
  EXPECT_NEAR((lowerLeft.y + upperRight.y) / 2.0, 24.0 + 404.0 / 2.0, 1e-9);
  EXPECT_GT(lowerLeft.y, upperRight.y);
}

TEST(BuildingTransform, takesThePathAndThePointsIntoTheView) {
  BuildingSnapshot snapshot = room();
  snapshot.pathDriven = {{1.0, 1.0}, {9.0, 1.0}};
  snapshot.finish = FloorPoint{1.0, -3.0};
  const PlaneTransform transform = buildingTransform(snapshot, kSize);
  EXPECT_NEAR(transform.exactPixel({9.3, 0.0}).x, 624.0, 1e-9);
  EXPECT_LE(transform.exactPixel({0.0, -3.3}).y, 480.0 - 16.0 - 36.0 + 1e-9);
}

TEST(DrawBuildingTop, drawsTheWallsWhereTheyAre) {
  const BuildingSnapshot snapshot = room();
  const cv::Mat picture = drawBuildingTop(snapshot, kSize);
  ASSERT_EQ(picture.cols, 640);
  ASSERT_EQ(picture.rows, 480);
  const PlaneTransform transform = buildingTransform(snapshot, kSize);
  EXPECT_TRUE(hasColour(picture, transform.pixel({2.0, 0.0}), kWallColour));
  EXPECT_TRUE(hasColour(picture, transform.pixel({4.0, 1.5}), kWallColour));
  EXPECT_TRUE(hasColour(picture, transform.pixel({0.0, 0.5}), kWallColour));
  // Inside the room, away from the base, it is empty floor.
  EXPECT_TRUE(hasColour(picture, transform.pixel({3.0, 1.5}), kBackgroundColour));
}

TEST(DrawBuildingTop, drawsTheFootprintAtItsScaledPlace) {
  const BuildingSnapshot snapshot = room();
  const cv::Mat picture = drawBuildingTop(snapshot, kSize);
  const PlaneTransform transform = buildingTransform(snapshot, kSize);
  const int radius_px = transform.lengthPixels(0.25);
  ASSERT_GT(radius_px, 10);
  // Behind the centre (the heading line points along +x): the footprint, to its edge.
  const cv::Point centre = transform.pixel({1.0, 1.0});
  EXPECT_TRUE(hasColour(picture, centre + cv::Point(-radius_px + 2, 0), kBaseColour));
  EXPECT_TRUE(hasColour(picture, centre + cv::Point(0, radius_px - 2), kBaseColour));
  EXPECT_TRUE(hasColour(picture, centre + cv::Point(0, -radius_px + 2), kBaseColour));
  EXPECT_TRUE(hasColour(picture, centre + cv::Point(-radius_px - 3, 0), kBackgroundColour));
  EXPECT_TRUE(hasColour(picture, centre + cv::Point(0, radius_px + 3), kBackgroundColour));
}

TEST(DrawBuildingTop, pointsTheHeadingLineWhereTheBaseLooks) {
  BuildingSnapshot snapshot = room();
  snapshot.base->heading_rad = M_PI / 2.0;  // towards +y: up the picture
  const cv::Mat picture = drawBuildingTop(snapshot, kSize);
  const PlaneTransform transform = buildingTransform(snapshot, kSize);
  EXPECT_TRUE(hasColour(picture, transform.pixel({1.0, 1.15}), kHeadingColour));
  EXPECT_TRUE(hasColour(picture, transform.pixel({1.0, 0.85}), kBaseColour));
}

TEST(DrawBuildingTop, drawsThePathDrivenAndTheRoutePoints) {
  BuildingSnapshot snapshot = room();
  snapshot.base.reset();
  snapshot.pathDriven = {{0.5, 0.5}, {3.5, 0.5}, {3.5, 1.5}};
  snapshot.arrival = FloorPoint{3.5, 1.5};
  snapshot.finish = FloorPoint{0.5, 1.5};
  const cv::Mat picture = drawBuildingTop(snapshot, kSize);
  const PlaneTransform transform = buildingTransform(snapshot, kSize);
  EXPECT_TRUE(hasColour(picture, transform.pixel({2.0, 0.5}), kPathColour));
  EXPECT_TRUE(hasColour(picture, transform.pixel({3.5, 1.0}), kPathColour));
  // No segment closes the path back to its start.
  EXPECT_TRUE(hasColour(picture, transform.pixel({2.0, 1.0}), kBackgroundColour));
  const int ring_px = kPointMarkRadius_px;
  EXPECT_TRUE(
      hasColour(picture, transform.pixel({0.5, 1.5}) + cv::Point(ring_px, 0), kFinishColour));
  EXPECT_TRUE(
      hasColour(picture, transform.pixel({3.5, 1.5}) + cv::Point(0, ring_px), kArrivalColour));
}

TEST(DrawBuildingTop, carriesAScaleBarOfTheLengthItSays) {
  const BuildingSnapshot snapshot = room();
  const cv::Mat picture = drawBuildingTop(snapshot, kSize);
  const PlaneTransform transform = buildingTransform(snapshot, kSize);
  const ScaleBar bar =
      chooseScaleBar(transform.pixelsPerUnit(), static_cast<int>(640 * kScaleBarShare));
  EXPECT_DOUBLE_EQ(bar.length, 1.0);  // 132 px per metre: 1 m fits, 2 m does not
  EXPECT_EQ(inkRunLength(picture, scaleBarStart(kSize), kInkColour), bar.length_px);
  EXPECT_EQ(bar.length_px, transform.lengthPixels(1.0));
}

TEST(DrawBuildingTop, theLegendNamesWhatIsDrawn) {
  BuildingSnapshot snapshot = room();
  std::vector<std::string> labels;
  for (const LegendEntry& entry : buildingLegend(snapshot)) labels.push_back(entry.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"wall", "base"}));

  snapshot.pathDriven = {{0.5, 0.5}, {3.5, 0.5}};
  snapshot.arrival = FloorPoint{3.5, 1.5};
  labels.clear();
  for (const LegendEntry& entry : buildingLegend(snapshot)) labels.push_back(entry.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"wall", "path driven", "base", "arrival"}));

  // The swatches are in the strip above the drawing.
  const cv::Mat picture = drawBuildingTop(snapshot, kSize);
  const cv::Mat strip = picture(cv::Rect(0, 0, kSize.width_px, kLegendStripHeight_px));
  EXPECT_GT(pixelsOf(strip, kPathColour), 10);
  EXPECT_GT(pixelsOf(strip, kWallColour), 10);
  EXPECT_EQ(pixelsOf(strip, kFinishColour), 0);
}

TEST(DrawLegend, drawsOnlyTheEntriesThatFit) {
  cv::Mat narrow(100, 200, CV_8UC3, kBackgroundColour);
  const std::vector<LegendEntry> entries(10, {LegendEntry::Mark::Disc, kBaseColour, "entry"});
  const int drawn = drawLegend(narrow, entries);
  EXPECT_GE(drawn, 1);
  EXPECT_LT(drawn, 10);
  // Nothing in the right margin.
  const cv::Mat margin = narrow(cv::Rect(200 - kViewMargin_px, 0, kViewMargin_px, 100));
  EXPECT_EQ(inkedPixels(margin, kBackgroundColour), 0);
}

TEST(DrawBuildingTop, anEmptySnapshotGivesABlankPictureWithItsScaleBar) {
  const cv::Mat picture = drawBuildingTop(BuildingSnapshot{}, kSize);
  EXPECT_EQ(picture.cols, 640);
  EXPECT_TRUE(hasColour(picture, {320, 200}, kBackgroundColour));
  EXPECT_GT(inkRunLength(picture, scaleBarStart(kSize), kInkColour), 0);
}

}  // namespace
}  // namespace scene_views
