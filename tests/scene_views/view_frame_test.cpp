// The plane-to-pixel mapping and the scale bar's length.
#include "view_frame.h"

#include <gtest/gtest.h>

namespace scene_views {
namespace {

TEST(ChooseScaleBar, takesTheLongestRoundLengthThatFits) {
  // 100 px per unit, 250 px of room: 2 units.
  ScaleBar bar = chooseScaleBar(100.0, 250);
  EXPECT_DOUBLE_EQ(bar.length, 2.0);
  EXPECT_EQ(bar.length_px, 200);
  // 0.5 px per mm, 192 px: 200 mm (96 px); 500 mm would be 250 px.
  bar = chooseScaleBar(0.5, 192);
  EXPECT_DOUBLE_EQ(bar.length, 200.0);
  EXPECT_EQ(bar.length_px, 100);
  // Exactly 5 units fits.
  bar = chooseScaleBar(10.0, 50);
  EXPECT_DOUBLE_EQ(bar.length, 5.0);
  // Below one unit.
  bar = chooseScaleBar(1000.0, 150);
  EXPECT_DOUBLE_EQ(bar.length, 0.1);
}

TEST(ChooseScaleBar, givesNoBarWithoutAScaleOrRoom) {
  EXPECT_EQ(chooseScaleBar(0.0, 100).length_px, 0);
  EXPECT_EQ(chooseScaleBar(-1.0, 100).length_px, 0);
  EXPECT_EQ(chooseScaleBar(10.0, 0).length_px, 0);
}

TEST(PlaneTransform, fittedKeepsOneScaleOnBothAxes) {
  PlaneBounds bounds = PlaneBounds::none();
  EXPECT_TRUE(bounds.empty());
  bounds.include({0.0, 0.0});
  bounds.include({10.0, 1.0});
  const PlaneTransform transform = PlaneTransform::fitted(bounds, {216, 400}, 1.0);
  // 184 px of width for 10 units.
  EXPECT_DOUBLE_EQ(transform.pixelsPerUnit(), 18.4);
  EXPECT_EQ(transform.pixel({0.0, 0.0}).x, 16);
  EXPECT_EQ(transform.pixel({10.0, 0.0}).x, 200);
  EXPECT_EQ(transform.lengthPixels(1.0), 18);
  // One unit up is 18.4 rows up.
  EXPECT_NEAR(transform.exactPixel({0.0, 0.0}).y - transform.exactPixel({0.0, 1.0}).y, 18.4, 1e-9);
}

TEST(PlaneTransform, aSinglePointIsCentredAtTheFallbackScale) {
  PlaneBounds bounds = PlaneBounds::none();
  bounds.include({3.0, 4.0});
  const PlaneTransform transform = PlaneTransform::fitted(bounds, {200, 200}, 7.0);
  EXPECT_DOUBLE_EQ(transform.pixelsPerUnit(), 7.0);
  const cv::Point2d at = transform.exactPixel({3.0, 4.0});
  EXPECT_DOUBLE_EQ(at.x, 100.0);
  EXPECT_DOUBLE_EQ(at.y, 24.0 + (200.0 - 24.0 - 16.0 - 36.0) / 2.0);
}

}  // namespace
}  // namespace scene_views
