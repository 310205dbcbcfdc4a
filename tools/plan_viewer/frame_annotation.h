#pragma once
// What the viewer adds to the planner's picture so that a person can read it: a panel on the
// right with the step number and the time, the robot's front, a scale bar and a legend of the
// picture's colours. Plain OpenCV drawing; the picture itself is left as received.
//
// The planner draws its robot-relative grid at two pixels per 50 mm cell, the robot's front up;
// the scale bar and the legend describe that picture (the planner's colours, blue-green-red).

#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "frame_caption.h"

namespace planviewer {

constexpr int kPanelWidth_px = 240;   // with the planner's 400 x 400: 640 x 400 frames
constexpr int kPanelHeight_px = 400;  // the frame is at least this high
constexpr int kPixelsPerMetre = 40;   // 2 pixels per 50 mm cell

// Panel layout, in pixels from the panel's left edge and the frame's top.
constexpr int kCaptionStepY_px = 24;
constexpr int kCaptionTimeY_px = 46;
constexpr int kScaleBarX_px = 14;
constexpr int kScaleBarY_px = 112;
constexpr int kLegendFirstY_px = 150;  // centre of the first legend row
constexpr int kLegendPitch_px = 22;
constexpr int kLegendSwatchX_px = 20;  // centre of each row's swatch

const cv::Scalar kPanelColour(48, 48, 48);
const cv::Scalar kPanelTextColour(255, 255, 255);

// The planner's colours.
const cv::Vec3b kFreeColour(0, 0, 0);
const cv::Vec3b kOccupiedColour(0, 255, 0);
const cv::Vec3b kUnknownColour(128, 128, 128);
const cv::Vec3b kPredictedCellColour(255, 0, 0);
const cv::Vec3b kRobotColour(15, 129, 239);
const cv::Vec3b kGoalColour(0, 0, 255);
const cv::Vec3b kStartColour(0, 212, 255);

struct LegendEntry {
  enum class Mark { Cell, Disc, Ring, Line };
  Mark mark;
  cv::Vec3b colour;
  int radius_px;  // of a disc or a ring, as the planner draws it (the robot's scaled down)
  const char* label;
};

// The legend's rows, top to bottom.
const std::vector<LegendEntry>& legendEntries();

// "step 57", or "step 57, no map" for a picture from a cycle without a map.
std::string stepText(const FrameCaption& caption);
// "t 12.5 s".
std::string timeText(const FrameCaption& caption);

// The picture at the top left, the panel on its right; kPanelHeight_px high at least (rows
// below a smaller picture are black).
cv::Mat annotatedFrame(const cv::Mat& picture, const FrameCaption& caption);

}  // namespace planviewer
