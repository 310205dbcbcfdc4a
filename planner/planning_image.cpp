#include "planning_image.h"

#include <array>
#include <cstdio>
#include <cstring>

#include <opencv2/imgproc.hpp>

#include "cell_bits.h"

namespace planner {
namespace {

constexpr int kRobotRadius_px = 8;
constexpr int kGoalRadius_px = 5;
constexpr int kStartRadius_px = 3;
constexpr int kTextMargin_px = 15;
constexpr int kStatusBandAbove_px = 17;
constexpr int kStatusBandBelow_px = 3;
constexpr int kStatusLinePitch_px = 20;
constexpr double kFontScale = 0.5;
constexpr std::uint8_t kFull = 255;
constexpr std::uint8_t kGrey = 128;

cv::Point pixelOf(GridCell cell) {
  return cv::Point(cell.mx * kPixelsPerCell, cell.my * kPixelsPerCell);
}

cv::Vec3b colourOf(std::uint8_t cell) {
  if (cell & kCellUnknown) return cv::Vec3b(kGrey, kGrey, kGrey);
  return cv::Vec3b((cell & kCellPredictedDrawn) ? kFull : 0, (cell & kCellOccupied) ? kFull : 0,
                   (cell & kCellBlockedOther) ? kFull : 0);
}

// Two pixels of a cell's colour, as the six bytes one grid cell paints in an image row.
struct PixelPair {
  std::uint8_t bytes[6];
};

const std::array<PixelPair, 256>& cellPixelPairs() {
  static const auto table = [] {
    std::array<PixelPair, 256> pairs;
    for (int cell = 0; cell < 256; ++cell) {
      const cv::Vec3b colour = colourOf(static_cast<std::uint8_t>(cell));
      for (int k = 0; k < 6; ++k) pairs[cell].bytes[k] = colour[k % 3];
    }
    return pairs;
  }();
  return table;
}

void putLine(cv::Mat& image, const std::string& text, int y) {
  cv::putText(image, text, cv::Point(kTextMargin_px, y), cv::FONT_HERSHEY_SIMPLEX, kFontScale,
              TEXT_COLOUR, 1, cv::LINE_8);
}

}  // namespace

cv::Mat makePlanningImage() {
  return cv::Mat::zeros(kPlanningImageSize, kPlanningImageSize, CV_8UC3);
}

void drawGrid(const LocalGrid& grid, cv::Mat& image) {
  const auto& pairs = cellPixelPairs();
  const std::size_t rowBytes = image.cols * image.elemSize();
  for (int my = 0; my < kGridCells; ++my) {
    std::uint8_t* pixels = image.ptr(my * kPixelsPerCell);
    for (int mx = 0; mx < kGridCells; ++mx)
      std::memcpy(pixels + mx * sizeof(PixelPair), pairs[grid.at(mx, my)].bytes, sizeof(PixelPair));
    // Each cell is two pixels high.
    std::memcpy(image.ptr(my * kPixelsPerCell + 1), pixels, rowBytes);
  }
  std::printf("Drawing Whole\n");
}

void drawGoalAndRobot(cv::Mat& image, GridCell goal) {
  if (goal.inside()) cv::circle(image, pixelOf(goal), kGoalRadius_px, GOAL_COLOUR, cv::FILLED);
  cv::circle(image, cv::Point(kPlanningImageSize / 2, kPlanningImageSize / 2), kRobotRadius_px,
             ROBOT_COLOUR, cv::FILLED);
}

std::string wheelCommandText(float v_mmps, float r_mm) {
  const WheelSpeeds wheels = primitiveWheelSpeeds(v_mmps, r_mm);
  char text[256];
  std::snprintf(text, sizeof text, "sent: robot:vl=%.2lf,  vr=%.2lf",
                static_cast<double>(wheels.left_mmps), static_cast<double>(wheels.right_mmps));
  return text;
}

void drawHoldOverlays(cv::Mat& image, const RobotState& state, const PlannerPoint& start,
                      const PathBook& path, std::uint16_t statusFlags) {
  cv::circle(image, pixelOf(state.predictedCell), kRobotRadius_px, ROBOT_COLOUR, cv::FILLED,
             cv::LINE_8);

  const PlannerPose& at = state.current;
  const GridCell startCell = worldToCell(at, start);
  if (startCell.inside())
    cv::circle(image, pixelOf(startCell), kStartRadius_px, START_COLOUR, 1, cv::LINE_8);

  for (int k = 1; k <= path.step(); ++k) {
    const GridCell a = worldToCell(at, path[k - 1].pose.position());
    const GridCell b = worldToCell(at, path[k].pose.position());
    if (a.inside() && b.inside())
      cv::line(image, pixelOf(a), pixelOf(b), ROBOT_COLOUR, 1, cv::LINE_8);
  }

  putLine(image, wheelCommandText(path.current().v_mmps, path.current().r_mm), kTextMargin_px);
  if (statusFlags != 0) drawStatus(image, statusFlags);
}

void drawStatus(cv::Mat& image, std::uint16_t statusFlags) {
  struct StatusLine {
    std::uint16_t bit;
    const char* text;
  };
  static const StatusLine lines[] = {{kStatusCollision, "DANGER!! COLLISION!"},
                                     {kStatusMapMissing, "Local map component is not connected!"}};
  int y = image.rows - kTextMargin_px;
  for (const StatusLine& line : lines) {
    if (!(statusFlags & line.bit)) continue;
    cv::rectangle(image, cv::Point(0, y - kStatusBandAbove_px),
                  cv::Point(image.cols - 1, y + kStatusBandBelow_px), cv::Scalar(0, 0, 0),
                  cv::FILLED, cv::LINE_AA);
    putLine(image, line.text, y);
    y -= kStatusLinePitch_px;
  }
}

}  // namespace planner
