#pragma once

#include <cstdint>
#include <string>

#include <opencv2/core.hpp>

#include "local_grid.h"
#include "path_record.h"
#include "prediction.h"

// The planning image: the local grid at two pixels per cell (mx along the image's x, my along
// its y), colours in blue, green, red order, with the robot, goal, predicted cell, travelled
// path, last wheel command and status lines drawn over it.
namespace planner {

constexpr int kPlanningImageSize = 400;
constexpr int kPixelsPerCell = 2;

// statusFlags bits that carry a status line.
constexpr std::uint16_t kStatusCollision = 0x01;
constexpr std::uint16_t kStatusMapMissing = 0x40;

const cv::Scalar ROBOT_COLOUR(15, 129, 239);
const cv::Scalar GOAL_COLOUR(0, 0, 255);
const cv::Scalar START_COLOUR(0, 212, 255);
const cv::Scalar TEXT_COLOUR(255, 255, 255);

// A new 400 × 400 three-channel image, all black.
cv::Mat makePlanningImage();

// Paints the grid: free black, occupied green, unknown grey, predicted robot cell blue.
void drawGrid(const LocalGrid& grid, cv::Mat& image);

// The goal point (when its cell is on the grid) and the robot in the centre.
void drawGoalAndRobot(cv::Mat& image, GridCell goal);

// The console-free text of the wheel line for the command (v, r).
std::string wheelCommandText(float v_mmps, float r_mm);

// Overlays of a cycle that holds position: predicted cell, start marker, travelled path up to
// the step, the wheel command of path[step], and the status lines.
void drawHoldOverlays(cv::Mat& image, const RobotState& state, const PlannerPoint& start,
                      const PathBook& path, std::uint16_t statusFlags);

// One black band with a white text per status bit (0x01, then 0x40), from the bottom up.
void drawStatus(cv::Mat& image, std::uint16_t statusFlags);

}  // namespace planner
