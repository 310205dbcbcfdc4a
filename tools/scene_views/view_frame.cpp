#include "view_frame.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include <opencv2/imgproc.hpp>

namespace scene_views {
namespace {

constexpr int kScaleTickHeight_px = 6;
constexpr int kScaleBarThickness_px = 2;
constexpr double kFontScale = 0.45;
constexpr int kLabelGap_px = 8;
constexpr int kDashLength_px = 6;
constexpr int kLegendSwatchWidth_px = 18;
constexpr int kLegendSwatchHalfHeight_px = 5;
constexpr int kLegendEntryGap_px = 14;

std::string lengthLabel(double length, const std::string& unitName) {
  std::ostringstream text;
  text << length << ' ' << unitName;
  return text.str();
}

}  // namespace

void PlaneBounds::include(const PlanePoint& point) {
  minRight = std::min(minRight, point.right);
  maxRight = std::max(maxRight, point.right);
  minUp = std::min(minUp, point.up);
  maxUp = std::max(maxUp, point.up);
}

PlaneBounds PlaneBounds::grownBy(double margin) const {
  if (empty()) return *this;
  return {minRight - margin, maxRight + margin, minUp - margin, maxUp + margin};
}

PlaneBounds PlaneBounds::none() {
  constexpr double kHuge = std::numeric_limits<double>::infinity();
  return {kHuge, -kHuge, kHuge, -kHuge};
}

PlaneTransform PlaneTransform::fitted(const PlaneBounds& bounds, const ViewSize& size,
                                      double fallbackPixelsPerUnit) {
  const double roomWidth_px = std::max(1, size.width_px - 2 * kViewMargin_px);
  const double roomHeight_px =
      std::max(1, size.height_px - kLegendStripHeight_px - kViewMargin_px - kScaleStripHeight_px);
  const cv::Point2d roomCentre(kViewMargin_px + roomWidth_px / 2.0,
                               kLegendStripHeight_px + roomHeight_px / 2.0);
  if (bounds.empty()) return PlaneTransform(fallbackPixelsPerUnit, roomCentre);

  const double width = bounds.maxRight - bounds.minRight;
  const double height = bounds.maxUp - bounds.minUp;
  double scale = fallbackPixelsPerUnit;
  if (width > 0.0 && height > 0.0) {
    scale = std::min(roomWidth_px / width, roomHeight_px / height);
  } else if (width > 0.0) {
    scale = roomWidth_px / width;
  } else if (height > 0.0) {
    scale = roomHeight_px / height;
  }
  const double centreRight = (bounds.minRight + bounds.maxRight) / 2.0;
  const double centreUp = (bounds.minUp + bounds.maxUp) / 2.0;
  return PlaneTransform(scale,
                        {roomCentre.x - centreRight * scale, roomCentre.y + centreUp * scale});
}

cv::Point2d PlaneTransform::exactPixel(const PlanePoint& point) const {
  return {originPixel_.x + point.right * pixelsPerUnit_,
          originPixel_.y - point.up * pixelsPerUnit_};
}

cv::Point PlaneTransform::pixel(const PlanePoint& point) const {
  const cv::Point2d exact = exactPixel(point);
  return {static_cast<int>(std::lround(exact.x)), static_cast<int>(std::lround(exact.y))};
}

int PlaneTransform::lengthPixels(double length) const {
  return static_cast<int>(std::lround(length * pixelsPerUnit_));
}

ScaleBar chooseScaleBar(double pixelsPerUnit, int maxLength_px) {
  if (!(pixelsPerUnit > 0.0) || maxLength_px <= 0) return {};
  const double maxLength = maxLength_px / pixelsPerUnit;
  double decade = std::pow(10.0, std::floor(std::log10(maxLength)));
  for (;;) {
    for (const double step : {5.0, 2.0, 1.0}) {
      const double length = step * decade;
      const int length_px = static_cast<int>(std::lround(length * pixelsPerUnit));
      if (length_px <= maxLength_px && length_px > 0) return {length, length_px};
    }
    decade /= 10.0;
  }
}

cv::Point scaleBarStart(const ViewSize& size) {
  return {kViewMargin_px, size.height_px - kViewMargin_px / 2 - kScaleStripHeight_px / 2};
}

ScaleBar drawScaleBar(cv::Mat& picture, double pixelsPerUnit, const std::string& unitName,
                      const std::string& caption) {
  const ViewSize size{picture.cols, picture.rows};
  const ScaleBar bar =
      chooseScaleBar(pixelsPerUnit, static_cast<int>(picture.cols * kScaleBarShare));
  const cv::Point start = scaleBarStart(size);
  const cv::Point end(start.x + bar.length_px - 1, start.y);
  if (bar.length_px > 0) {
    // A rectangle, so that the bar covers exactly its length.
    cv::rectangle(picture, {start.x, start.y - kScaleBarThickness_px + 1}, end, kInkColour,
                  cv::FILLED, cv::LINE_8);
    for (const cv::Point& tickAt : {start, end}) {
      cv::line(picture, {tickAt.x, tickAt.y - kScaleTickHeight_px},
               {tickAt.x, tickAt.y + kScaleTickHeight_px}, kInkColour, 1, cv::LINE_8);
    }
    cv::putText(picture, lengthLabel(bar.length, unitName),
                {end.x + kLabelGap_px, start.y + kScaleTickHeight_px}, cv::FONT_HERSHEY_SIMPLEX,
                kFontScale, kInkColour, 1, cv::LINE_AA);
  }
  if (!caption.empty()) {
    int baseline = 0;
    const cv::Size textSize =
        cv::getTextSize(caption, cv::FONT_HERSHEY_SIMPLEX, kFontScale, 1, &baseline);
    cv::putText(picture, caption,
                {picture.cols - kViewMargin_px - textSize.width, start.y + kScaleTickHeight_px},
                cv::FONT_HERSHEY_SIMPLEX, kFontScale, kInkColour, 1, cv::LINE_AA);
  }
  return bar;
}

void drawDashedPolygon(cv::Mat& picture, const std::vector<cv::Point>& polygon,
                       const cv::Scalar& colour) {
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const cv::Point2d from = polygon[i];
    const cv::Point2d to = polygon[(i + 1) % polygon.size()];
    const int dashes = std::max(1, static_cast<int>(cv::norm(to - from) / (2 * kDashLength_px)));
    for (int d = 0; d < dashes; ++d) {
      const cv::Point2d a = from + (to - from) * (2.0 * d / (2.0 * dashes));
      const cv::Point2d b = from + (to - from) * ((2.0 * d + 1.0) / (2.0 * dashes));
      cv::line(picture, a, b, colour, 2, cv::LINE_AA);
    }
  }
}

int drawLegend(cv::Mat& picture, const std::vector<LegendEntry>& entries) {
  const int centreY = kLegendStripHeight_px / 2 + 2;
  int x = kViewMargin_px;
  int drawn = 0;
  for (const LegendEntry& entry : entries) {
    int baseline = 0;
    const cv::Size text =
        cv::getTextSize(entry.label, cv::FONT_HERSHEY_SIMPLEX, kFontScale, 1, &baseline);
    const int width = kLegendSwatchWidth_px + 4 + text.width;
    if (x + width > picture.cols - kViewMargin_px) break;
    const cv::Point left(x, centreY);
    const cv::Point right(x + kLegendSwatchWidth_px - 1, centreY);
    const cv::Point middle(x + kLegendSwatchWidth_px / 2, centreY);
    const cv::Point boxTopLeft(x + 2, centreY - kLegendSwatchHalfHeight_px);
    const cv::Point boxBottomRight(x + kLegendSwatchWidth_px - 3,
                                   centreY + kLegendSwatchHalfHeight_px);
    switch (entry.mark) {
      case LegendEntry::Mark::Line:
        cv::line(picture, left, right, entry.colour, 2, cv::LINE_8);
        break;
      case LegendEntry::Mark::Disc:
        cv::circle(picture, middle, kLegendSwatchHalfHeight_px, entry.colour, cv::FILLED,
                   cv::LINE_AA);
        break;
      case LegendEntry::Mark::Ring:
        cv::circle(picture, middle, kLegendSwatchHalfHeight_px, entry.colour, 2, cv::LINE_AA);
        break;
      case LegendEntry::Mark::Box:
        cv::rectangle(picture, boxTopLeft, boxBottomRight, entry.colour, cv::FILLED, cv::LINE_8);
        break;
      case LegendEntry::Mark::DashedBox:
        drawDashedPolygon(picture,
                          {boxTopLeft,
                           {boxBottomRight.x, boxTopLeft.y},
                           boxBottomRight,
                           {boxTopLeft.x, boxBottomRight.y}},
                          entry.colour);
        break;
      case LegendEntry::Mark::Pair:
        cv::line(picture, left + cv::Point(3, 0), right - cv::Point(3, 0), entry.colour, 2,
                 cv::LINE_AA);
        cv::circle(picture, left + cv::Point(3, 0), 3, entry.colour, cv::FILLED, cv::LINE_AA);
        cv::circle(picture, right - cv::Point(3, 0), 3, entry.colour, cv::FILLED, cv::LINE_AA);
        break;
    }
    cv::putText(picture, entry.label, {x + kLegendSwatchWidth_px + 4, centreY + text.height / 2},
                cv::FONT_HERSHEY_SIMPLEX, kFontScale, kInkColour, 1, cv::LINE_AA);
    x += width + kLegendEntryGap_px;
    ++drawn;
  }
  return drawn;
}

}  // namespace scene_views
