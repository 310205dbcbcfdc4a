#include "frame_annotation.h"

#include <algorithm>
#include <cstdio>

#include <opencv2/imgproc.hpp>

namespace planviewer {
namespace {

constexpr double kFontScale = 0.45;
constexpr int kTextX_px = 12;
constexpr int kLegendLabelX_px = 36;
constexpr int kLabelBelowCentre_px = 5;
constexpr int kSwatchHalf_px = 7;
constexpr int kScaleTick_px = 4;
constexpr int kArrowX_px = 20;
constexpr int kArrowTailY_px = 90;
constexpr int kArrowHeadY_px = 62;

const cv::Scalar kSwatchBorder(96, 96, 96);

cv::Scalar scalarOf(const cv::Vec3b& colour) { return cv::Scalar(colour[0], colour[1], colour[2]); }

void putPanelText(cv::Mat& frame, const std::string& text, cv::Point at) {
  cv::putText(frame, text, at, cv::FONT_HERSHEY_SIMPLEX, kFontScale, kPanelTextColour, 1,
              cv::LINE_AA);
}

void drawSwatch(cv::Mat& frame, const LegendEntry& entry, cv::Point centre) {
  const cv::Scalar colour = scalarOf(entry.colour);
  switch (entry.mark) {
    case LegendEntry::Mark::Cell: {
      const cv::Rect square(centre.x - kSwatchHalf_px, centre.y - kSwatchHalf_px,
                            2 * kSwatchHalf_px + 1, 2 * kSwatchHalf_px + 1);
      cv::rectangle(frame, square, colour, cv::FILLED);
      cv::rectangle(frame, square, kSwatchBorder, 1);
      break;
    }
    case LegendEntry::Mark::Disc:
      cv::circle(frame, centre, entry.radius_px, colour, cv::FILLED, cv::LINE_8);
      break;
    case LegendEntry::Mark::Ring:
      cv::circle(frame, centre, entry.radius_px, colour, 1, cv::LINE_8);
      break;
    case LegendEntry::Mark::Line:
      cv::line(frame, {centre.x - kSwatchHalf_px, centre.y + kSwatchHalf_px / 2},
               {centre.x + kSwatchHalf_px, centre.y - kSwatchHalf_px / 2}, colour, 1, cv::LINE_8);
      break;
  }
}

}  // namespace

const std::vector<LegendEntry>& legendEntries() {
  using Mark = LegendEntry::Mark;
  static const std::vector<LegendEntry> entries = {
      {Mark::Cell, kFreeColour, 0, "free"},
      {Mark::Cell, kOccupiedColour, 0, "wall (seen)"},
      {Mark::Cell, kUnknownColour, 0, "unknown"},
      {Mark::Cell, kPredictedCellColour, 0, "predicted cell"},
      {Mark::Disc, kRobotColour, 6, "robot / next position"},
      {Mark::Disc, kGoalColour, 5, "goal: odometry origin"},
      {Mark::Ring, kStartColour, 3, "odometry origin (held)"},
      {Mark::Line, kRobotColour, 0, "path driven (held)"},
  };
  return entries;
}

std::string stepText(const FrameCaption& caption) {
  return "step " + std::to_string(caption.step) + (caption.mapMissing ? ", no map" : "");
}

std::string timeText(const FrameCaption& caption) {
  char text[32];
  std::snprintf(text, sizeof text, "t %.1f s", caption.time_s);
  return text;
}

cv::Mat annotatedFrame(const cv::Mat& picture, const FrameCaption& caption) {
  const int height = std::max(picture.rows, kPanelHeight_px);
  cv::Mat frame(height, picture.cols + kPanelWidth_px, CV_8UC3, cv::Scalar::all(0));
  picture.copyTo(frame(cv::Rect(0, 0, picture.cols, picture.rows)));
  const int x0 = picture.cols;
  frame(cv::Rect(x0, 0, kPanelWidth_px, height)).setTo(kPanelColour);

  putPanelText(frame, stepText(caption), {x0 + kTextX_px, kCaptionStepY_px});
  putPanelText(frame, timeText(caption), {x0 + kTextX_px, kCaptionTimeY_px});

  // The robot's front is up in the picture.
  cv::arrowedLine(frame, {x0 + kArrowX_px, kArrowTailY_px}, {x0 + kArrowX_px, kArrowHeadY_px},
                  kPanelTextColour, 1, cv::LINE_8);
  putPanelText(frame, "robot's front",
               {x0 + kLegendLabelX_px, (kArrowTailY_px + kArrowHeadY_px) / 2 + 5});

  const int barLeft = x0 + kScaleBarX_px;
  const int barRight = barLeft + kPixelsPerMetre;
  cv::line(frame, {barLeft, kScaleBarY_px}, {barRight, kScaleBarY_px}, kPanelTextColour, 1,
           cv::LINE_8);
  for (const int x : {barLeft, barRight})
    cv::line(frame, {x, kScaleBarY_px - kScaleTick_px}, {x, kScaleBarY_px}, kPanelTextColour, 1,
             cv::LINE_8);
  putPanelText(frame, "1 m", {barRight + 8, kScaleBarY_px + kLabelBelowCentre_px});

  int y = kLegendFirstY_px;
  for (const LegendEntry& entry : legendEntries()) {
    drawSwatch(frame, entry, {x0 + kLegendSwatchX_px, y});
    putPanelText(frame, entry.label, {x0 + kLegendLabelX_px, y + kLabelBelowCentre_px});
    y += kLegendPitch_px;
  }
  return frame;
}

}  // namespace planviewer
