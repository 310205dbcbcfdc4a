#pragma once
// The mapping from a plane in the world (any length unit: metres for the building, millimetres
// for the arm cell) to the pixels of a picture, fitted so that a region shows whole and to
// scale, and the scale bar every view carries.
//
// The plane's two axes are named by how they appear in the picture: `right` grows to the
// picture's right, `up` grows towards its top. Each view says which world axes those are.

#include <string>
#include <vector>

#include <opencv2/core.hpp>

namespace scene_views {

// A picture's size.
struct ViewSize {
  int width_px = 640;
  int height_px = 480;
};

// A point on the view's plane, in the view's length unit.
struct PlanePoint {
  double right = 0.0;
  double up = 0.0;
};

// Where the region to show lies on the plane.
struct PlaneBounds {
  double minRight = 0.0;
  double maxRight = 0.0;
  double minUp = 0.0;
  double maxUp = 0.0;

  // The bounds grown to hold the point.
  void include(const PlanePoint& point);
  // Grown on every side by `margin`.
  PlaneBounds grownBy(double margin) const;
  bool empty() const { return maxRight < minRight || maxUp < minUp; }
  // Nothing included yet.
  static PlaneBounds none();
};

// Pixels kept free around the drawing: above it for the legend, below it for the scale bar and
// the caption, and a margin on the sides and at the bottom.
constexpr int kViewMargin_px = 16;
constexpr int kLegendStripHeight_px = 24;
constexpr int kScaleStripHeight_px = 36;

// Plane → pixel, same scale on both axes.
class PlaneTransform {
 public:
  PlaneTransform(double pixelsPerUnit, cv::Point2d originPixel)
      : pixelsPerUnit_(pixelsPerUnit), originPixel_(originPixel) {}

  // The largest scale that shows `bounds` whole inside the picture, less the margins and the
  // scale strip, centred. Bounds of zero extent (one point) are shown at `fallbackPixelsPerUnit`.
  static PlaneTransform fitted(const PlaneBounds& bounds, const ViewSize& size,
                               double fallbackPixelsPerUnit);

  double pixelsPerUnit() const { return pixelsPerUnit_; }
  // Sub-pixel position; `pixel` rounds it.
  cv::Point2d exactPixel(const PlanePoint& point) const;
  cv::Point pixel(const PlanePoint& point) const;
  int lengthPixels(double length) const;

 private:
  double pixelsPerUnit_;
  cv::Point2d originPixel_;  // where the plane's (0, 0) falls
};

// The scale bar takes at most this share of the picture's width.
constexpr double kScaleBarShare = 0.3;

// A round length (1, 2 or 5 times a power of ten units) that fits the room given.
struct ScaleBar {
  double length = 0.0;  // in the view's unit
  int length_px = 0;
};
ScaleBar chooseScaleBar(double pixelsPerUnit, int maxLength_px);

// The scale bar's left end: kViewMargin_px from the left, in the middle of the scale strip.
cv::Point scaleBarStart(const ViewSize& size);

// Draws the bar at scaleBarStart with its label ("1 m", "100 mm"), and `caption` to its right.
// Returns the bar it drew.
ScaleBar drawScaleBar(cv::Mat& picture, double pixelsPerUnit, const std::string& unitName,
                      const std::string& caption);

// One row of the legend: a small sample of the mark and what it stands for.
struct LegendEntry {
  enum class Mark { Line, Disc, Ring, Box, DashedBox, Pair };
  Mark mark = Mark::Line;
  cv::Scalar colour;
  std::string label;
};

// The legend along the top strip, left to right, as many entries as fit in the width.
// Returns how many were drawn.
int drawLegend(cv::Mat& picture, const std::vector<LegendEntry>& entries);

// A closed polygon drawn in dashes.
void drawDashedPolygon(cv::Mat& picture, const std::vector<cv::Point>& polygon,
                       const cv::Scalar& colour);

// Colours shared by the views (blue, green, red).
const cv::Scalar kBackgroundColour(250, 250, 250);
const cv::Scalar kInkColour(40, 40, 40);

}  // namespace scene_views
