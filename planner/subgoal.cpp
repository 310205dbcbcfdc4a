#include "subgoal.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "cell_bits.h"
#include "collision.h"

namespace planner {
namespace {

constexpr int LAST_CELL = GRID_CELLS - 1;
constexpr int LINE_SEARCH_POINTS = 100;
constexpr std::int64_t CLEARANCE_SQUARED =
    std::int64_t{SUBGOAL_CLEARANCE_MM} * SUBGOAL_CLEARANCE_MM;

// Where the line from the robot cell to an off-grid goal cell leaves the grid.
GridCell projectOntoBorder(GridCell goal) {
  double row = goal.row;
  double column = goal.column;
  if (row < 0) {
    column = std::trunc(ROBOT_CELL + ROBOT_CELL * (column - ROBOT_CELL) / (ROBOT_CELL - row));
    row = 0;
  } else if (row >= GRID_CELLS) {
    column = std::trunc(ROBOT_CELL - ROBOT_CELL * (column - ROBOT_CELL) / (ROBOT_CELL - row));
    row = LAST_CELL;
  }
  if (column < 0 || column >= GRID_CELLS) {
    const double slope = (column - ROBOT_CELL) / (ROBOT_CELL - row);
    const bool low = column < 0;
    if (row != ROBOT_CELL)
      row = std::trunc(low ? ROBOT_CELL + ROBOT_CELL / slope : ROBOT_CELL - ROBOT_CELL / slope);
    column = low ? 0 : LAST_CELL;
  }
  return GridCell{static_cast<std::int32_t>(row), static_cast<std::int32_t>(column)};
}

bool isOpen(std::uint8_t cell) { return cell == CELL_FREE || (cell & CELL_UNKNOWN) != 0; }

bool onBorder(int row, int column) {
  return row == 0 || column == 0 || row == LAST_CELL || column == LAST_CELL;
}

bool touchesOpenCell(const LocalGrid& grid, int row, int column) {
  return isOpen(grid.at(row + 1, column)) || isOpen(grid.at(row - 1, column)) ||
         isOpen(grid.at(row, column + 1)) || isOpen(grid.at(row, column - 1));
}

// The marked cell nearest to the reference point but farther than the clearance.
GridCell scanForSubgoal(const LocalGrid& grid, const PlannerPose& pose, PlanarPoint_mm target) {
  GridCell best;
  std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
  for (int row = 0; row < GRID_CELLS; ++row) {
    for (int column = 0; column < GRID_CELLS; ++column) {
      if (!(grid.at(row, column) & CELL_PREDICTED_SEARCH)) continue;
      if (!onBorder(row, column) && !touchesOpenCell(grid, row, column)) continue;
      const PlanarPoint_mm point = cellToWorld(row, column, pose.x_mm, pose.y_mm, pose.theta_rad);
      const double dx = static_cast<double>(target.x_mm) - point.x_mm;
      const double dy = static_cast<double>(target.y_mm) - point.y_mm;
      const std::int64_t distance =
          static_cast<std::int64_t>(dx * dx) + static_cast<std::int64_t>(dy * dy);
      if (distance < bestDistance && distance > CLEARANCE_SQUARED) {
        bestDistance = distance;
        best = GridCell{row, column};
      }
    }
  }
  return best;
}

SubgoalClass classify(std::uint8_t goal) {
  if (goal & CELL_PREDICTED_SEARCH) return SubgoalClass::GoalIsRobotCell;
  if ((goal & CELL_UNKNOWN) || goal == CELL_FREE || (goal & CELL_BLOCKED_OTHER))
    return SubgoalClass::Scan;
  return SubgoalClass::LineTowardsRobot;
}

}  // namespace

Subgoal selectSubgoal(const LocalGrid& grid, const PlannerPose& pose) {
  Subgoal result;
  const GridCell goal = goalCell(pose);
  PlanarPoint_mm target = GOAL_POINT;
  if (!goal.inside()) {
    const GridCell border = projectOntoBorder(worldToCellUnbounded(
        pose.x_mm, pose.y_mm, pose.theta_rad, GOAL_POINT.x_mm, GOAL_POINT.y_mm));
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
    for (int k = 0; k < LINE_SEARCH_POINTS; ++k) {
      const auto towardsRobot = [k](int from) {
        return static_cast<std::int32_t>(
            std::trunc(from + static_cast<double>((ROBOT_CELL - from) * k) / LINE_SEARCH_POINTS));
      };
      const GridCell onLine{towardsRobot(goal.row), towardsRobot(goal.column)};
      if (grid.at(onLine) & CELL_PREDICTED_SEARCH) {
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
