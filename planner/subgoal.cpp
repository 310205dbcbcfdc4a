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
  double mx = goal.mx;
  double my = goal.my;
  if (mx < 0) {
    my = std::trunc(kRobotCell + kRobotCell * (my - kRobotCell) / (kRobotCell - mx));
    mx = 0;
  } else if (mx >= kGridCells) {
    my = std::trunc(kRobotCell - kRobotCell * (my - kRobotCell) / (kRobotCell - mx));
    mx = kLastCell;
  }
  if (my < 0 || my >= kGridCells) {
    const double slope = (my - kRobotCell) / (kRobotCell - mx);
    const bool low = my < 0;
    if (mx != kRobotCell)
      mx = std::trunc(low ? kRobotCell + kRobotCell / slope : kRobotCell - kRobotCell / slope);
    my = low ? 0 : kLastCell;
  }
  return GridCell{static_cast<std::int32_t>(mx), static_cast<std::int32_t>(my)};
}

bool isOpen(std::uint8_t cell) { return cell == kCellFree || (cell & kCellUnknown) != 0; }

bool onBorder(int mx, int my) { return mx == 0 || my == 0 || mx == kLastCell || my == kLastCell; }

bool touchesOpenCell(const LocalGrid& grid, int mx, int my) {
  return isOpen(grid.at(mx + 1, my)) || isOpen(grid.at(mx - 1, my)) ||
         isOpen(grid.at(mx, my + 1)) || isOpen(grid.at(mx, my - 1));
}

// The marked cell nearest to the reference point but farther than the clearance.
GridCell scanForSubgoal(const LocalGrid& grid, const PlannerPose& pose, PlannerPoint target) {
  GridCell best;
  std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
  for (int mx = 0; mx < kGridCells; ++mx) {
    for (int my = 0; my < kGridCells; ++my) {
      if (!(grid.at(mx, my) & kCellPredictedSearch)) continue;
      if (!onBorder(mx, my) && !touchesOpenCell(grid, mx, my)) continue;
      const PlannerPoint point = cellToWorld(GridCell{mx, my}, pose);
      const double dx = static_cast<double>(target.x_mm) - point.x_mm;
      const double dy = static_cast<double>(target.y_mm) - point.y_mm;
      const std::int64_t distance =
          static_cast<std::int64_t>(dx * dx) + static_cast<std::int64_t>(dy * dy);
      if (distance < bestDistance && distance > kClearanceSquared) {
        bestDistance = distance;
        best = GridCell{mx, my};
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
  PlannerPoint target = kGoalPoint;
  if (!goal.inside()) {
    target = cellToWorld(projectOntoBorder(worldToCellUnbounded(pose, kGoalPoint)), pose);
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
      const GridCell onLine{towardsRobot(goal.mx), towardsRobot(goal.my)};
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
