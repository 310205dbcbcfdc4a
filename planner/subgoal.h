#pragma once

#include "local_grid.h"
#include "path_record.h"

// Choosing the subgoal: the reachable cell that leads towards the goal.
namespace planner {

// Cells closer than this to the reference point are not taken as subgoal.
constexpr int kSubgoalClearance_mm = 310;

enum class SubgoalClass { Scan = 0, GoalIsRobotCell = 1, LineTowardsRobot = 2 };

struct Subgoal {
  GridCell cell;  // (-1, -1) when nothing qualified
  SubgoalClass kind = SubgoalClass::Scan;
  bool lineSearchFailed = false;
};

// Runs after the predicted cell has been marked. `pose` is the measured pose of this cycle.
// A goal off the grid is projected onto the border along the line from the robot cell and
// the scan looks for the marked cell nearest to that point.
Subgoal selectSubgoal(const LocalGrid& grid, const PlannerPose& pose);

}  // namespace planner
