#include "subgoal.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "cell_bits.h"
#include "collision.h"

namespace planner {
namespace {

constexpr int kLastCell = kGridCells - 1;
constexpr int kLineSearchPoints = 100;
constexpr std::int64_t kClearanceSquared =
    std::int64_t{kSubgoalClearance_mm} * kSubgoalClearance_mm;

// Where the line from the robot cell to an off-grid goal cell leaves the grid.
GridCell projectOntoBorder(GridCell goal) {
  double row = goal.row;
  double column = goal.column;
  if (row < 0) {
    column = std::trunc(kRobotCell + kRobotCell * (column - kRobotCell) / (kRobotCell - row));
    row = 0;
  } else if (row >= kGridCells) {
    column = std::trunc(kRobotCell - kRobotCell * (column - kRobotCell) / (kRobotCell - row));
    row = kLastCell;
  }
  if (column < 0 || column >= kGridCells) {
    const double slope = (column - kRobotCell) / (kRobotCell - row);
    const bool low = column < 0;
    if (row != kRobotCell)
      row = std::trunc(low ? kRobotCell + kRobotCell / slope : kRobotCell - kRobotCell / slope);
    column = low ? 0 : kLastCell;
  }
  return GridCell{static_cast<std::int32_t>(row), static_cast<std::int32_t>(column)};
}

bool isOpen(std::uint8_t cell) { return cell == kCellFree || (cell & kCellUnknown) != 0; }

bool onBorder(int row, int column) {
  return row == 0 || column == 0 || row == kLastCell || column == kLastCell;
}

bool touchesOpenCell(const LocalGrid& grid, int row, int column) {
  return isOpen(grid.at(row + 1, column)) || isOpen(grid.at(row - 1, column)) ||
         isOpen(grid.at(row, column + 1)) || isOpen(grid.at(row, column - 1));
}

// The marked cell nearest to the reference point but farther than the clearance.
GridCell scanForSubgoal(const LocalGrid& grid, const PlannerPose& pose, PlanarPoint_mm target) {
  GridCell best;
  std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
  for (int row = 0; row < kGridCells; ++row) {
    for (int column = 0; column < kGridCells; ++column) {
      if (!(grid.at(row, column) & kCellPredictedSearch)) continue;
      if (!onBorder(row, column) && !touchesOpenCell(grid, row, column)) continue;
      const PlanarPoint_mm point = cellToWorld(row, column, pose.x_mm, pose.y_mm, pose.theta_rad);
      const double dx = static_cast<double>(target.x_mm) - point.x_mm;
      const double dy = static_cast<double>(target.y_mm) - point.y_mm;
      const std::int64_t distance =
          static_cast<std::int64_t>(dx * dx) + static_cast<std::int64_t>(dy * dy);
      if (distance < bestDistance && distance > kClearanceSquared) {
        bestDistance = distance;
        best = GridCell{row, column};
      }
    }
  }
  return best;
}

SubgoalClass classify(std::uint8_t goal) {
  if (goal & kCellPredictedSearch) return SubgoalClass::GoalIsRobotCell;
  if ((goal & kCellUnknown) || goal == kCellFree || (goal & kCellBlockedOther))
    return SubgoalClass::Scan;
  return SubgoalClass::LineTowardsRobot;
}

}  // namespace

Subgoal selectSubgoal(const LocalGrid& grid, const PlannerPose& pose) {
  Subgoal result;
  const GridCell goal = goalCell(pose);
  PlanarPoint_mm target = kGoalPoint;
  if (!goal.inside()) {
    const GridCell border = projectOntoBorder(worldToCellUnbounded(
        pose.x_mm, pose.y_mm, pose.theta_rad, kGoalPoint.x_mm, kGoalPoint.y_mm));
    target = cellToWorld(border.row, border.column, pose.x_mm, pose.y_mm, pose.theta_rad);
    result.cell = scanForSubgoal(grid, pose, target);
    return result;
  }
  result.kind = classify(grid.at(goal));
  if (result.kind == SubgoalClass::GoalIsRobotCell) {
    result.cell = goal;
    return result;
  }
  if (result.kind == SubgoalClass::LineTowardsRobot) {
    for (int k = 0; k < kLineSearchPoints; ++k) {
      const auto towardsRobot = [k](int from) {
        return static_cast<std::int32_t>(
            std::trunc(from + static_cast<double>((kRobotCell - from) * k) / kLineSearchPoints));
      };
      const GridCell onLine{towardsRobot(goal.row), towardsRobot(goal.column)};
      if (grid.at(onLine) & kCellPredictedSearch) {
        result.cell = onLine;
        return result;
      }
    }
    result.lineSearchFailed = true;
  }
  result.cell = scanForSubgoal(grid, pose, target);
  return result;
}

}  // namespace planner
