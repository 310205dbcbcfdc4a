#include "planning_image.h"

#include <array>
#include <cstdio>
#include <cstring>

#include <opencv2/imgproc.hpp>

#include "cell_bits.h"

namespace planner {
namespace {

constexpr int ROBOT_RADIUS_PX = 8;
constexpr int GOAL_RADIUS_PX = 5;
constexpr int START_RADIUS_PX = 3;
constexpr int TEXT_MARGIN_PX = 15;
constexpr int STATUS_BAND_ABOVE_PX = 17;
constexpr int STATUS_BAND_BELOW_PX = 3;
constexpr int STATUS_LINE_PITCH_PX = 20;
constexpr double FONT_SCALE = 0.5;
constexpr std::uint8_t FULL = 255;
constexpr std::uint8_t GREY = 128;

cv::Point pixelOf(GridCell cell) {
  return cv::Point(cell.row * PIXELS_PER_CELL, cell.column * PIXELS_PER_CELL);
}

cv::Vec3b colourOf(std::uint8_t cell) {
  if (cell & CELL_UNKNOWN) return cv::Vec3b(GREY, GREY, GREY);
  return cv::Vec3b((cell & CELL_PREDICTED_DRAWN) ? FULL : 0, (cell & CELL_OCCUPIED) ? FULL : 0,
                   (cell & CELL_BLOCKED_OTHER) ? FULL : 0);
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
  cv::putText(image, text, cv::Point(TEXT_MARGIN_PX, y), cv::FONT_HERSHEY_SIMPLEX, FONT_SCALE,
              TEXT_COLOUR, 1, cv::LINE_8);
}

}  // namespace

cv::Mat makePlanningImage() {
  return cv::Mat::zeros(PLANNING_IMAGE_SIZE, PLANNING_IMAGE_SIZE, CV_8UC3);
}

void drawGrid(const LocalGrid& grid, cv::Mat& image) {
  const auto& pairs = cellPixelPairs();
  const std::size_t rowBytes = image.cols * image.elemSize();
  for (int column = 0; column < GRID_CELLS; ++column) {
    std::uint8_t* pixels = image.ptr(column * PIXELS_PER_CELL);
    for (int row = 0; row < GRID_CELLS; ++row)
      std::memcpy(pixels + row * sizeof(PixelPair), pairs[grid.at(row, column)].bytes,
                  sizeof(PixelPair));
    // Each cell is two pixels high.
    std::memcpy(image.ptr(column * PIXELS_PER_CELL + 1), pixels, rowBytes);
  }
  std::printf("Drawing Whole\n");
}

void drawGoalAndRobot(cv::Mat& image, GridCell goal) {
  if (goal.inside()) cv::circle(image, pixelOf(goal), GOAL_RADIUS_PX, GOAL_COLOUR, cv::FILLED);
  cv::circle(image, cv::Point(PLANNING_IMAGE_SIZE / 2, PLANNING_IMAGE_SIZE / 2), ROBOT_RADIUS_PX,
             ROBOT_COLOUR, cv::FILLED);
}

std::string wheelCommandText(float v_mmps, float r_mm) {
  const WheelSpeeds wheels = primitiveWheelSpeeds(v_mmps, r_mm);
  char text[256];
  std::snprintf(text, sizeof text, "sent: robot:vl=%.2lf,  vr=%.2lf",
                static_cast<double>(wheels.left_mmps), static_cast<double>(wheels.right_mmps));
  return text;
}

void drawHoldOverlays(cv::Mat& image, const RobotState& state, const PlanarPoint_mm& start,
                      const PathBook& path, std::uint16_t statusFlags) {
  cv::circle(image, pixelOf(state.predictedCell), ROBOT_RADIUS_PX, ROBOT_COLOUR, cv::FILLED,
             cv::LINE_8);

  const PlannerPose& at = state.current;
  const GridCell startCell = worldToCell(at.x_mm, at.y_mm, at.theta_rad, start.x_mm, start.y_mm);
  if (startCell.inside())
    cv::circle(image, pixelOf(startCell), START_RADIUS_PX, START_COLOUR, 1, cv::LINE_8);

  for (int k = 1; k <= path.step(); ++k) {
    const PlannerPose& from = path[k - 1].pose;
    const PlannerPose& to = path[k].pose;
    const GridCell a = worldToCell(at.x_mm, at.y_mm, at.theta_rad, from.x_mm, from.y_mm);
    const GridCell b = worldToCell(at.x_mm, at.y_mm, at.theta_rad, to.x_mm, to.y_mm);
    if (a.inside() && b.inside())
      cv::line(image, pixelOf(a), pixelOf(b), ROBOT_COLOUR, 1, cv::LINE_8);
  }

  putLine(image, wheelCommandText(path.current().v_mmps, path.current().r_mm), TEXT_MARGIN_PX);
  if (statusFlags != 0) drawStatus(image, statusFlags);
}

void drawStatus(cv::Mat& image, std::uint16_t statusFlags) {
  struct StatusLine {
    std::uint16_t bit;
    const char* text;
  };
  static const StatusLine lines[] = {{STATUS_COLLISION, "DANGER!! COLLISION!"},
                                     {STATUS_MAP_MISSING, "Local map component is not connected!"}};
  int y = image.rows - TEXT_MARGIN_PX;
  for (const StatusLine& line : lines) {
    if (!(statusFlags & line.bit)) continue;
    cv::rectangle(image, cv::Point(0, y - STATUS_BAND_ABOVE_PX),
                  cv::Point(image.cols - 1, y + STATUS_BAND_BELOW_PX), cv::Scalar(0, 0, 0),
                  cv::FILLED, cv::LINE_AA);
    putLine(image, line.text, y);
    y -= STATUS_LINE_PITCH_PX;
  }
}

}  // namespace planner
