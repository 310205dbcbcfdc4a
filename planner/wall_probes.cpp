#include "wall_probes.h"

#include "cell_bits.h"

namespace planner {
namespace {

bool isWall(const LocalGrid& grid, int mx, int my) {
  return (grid.at(mx, my) & kCellOccupied) != 0;
}

}  // namespace

float frontDistance(const LocalGrid& grid) {
  int my = kRobotCell;
  while (my >= 0 && !isWall(grid, kRobotCell, my)) --my;
  return static_cast<float>((kRobotCell - my) * kCellSize_mm);
}

float leftWallDistance(const LocalGrid& grid) {
  int mx = kRobotCell;
  while (mx >= 0 && !isWall(grid, mx, kSideProbeMy)) --mx;
  return static_cast<float>((kRobotCell - mx) * kCellSize_mm);
}

float rightWallDistance(const LocalGrid& grid) {
  int mx = kRobotCell;
  while (mx < kGridCells && !isWall(grid, mx, kSideProbeMy)) ++mx;
  return static_cast<float>((mx - kRobotCell) * kCellSize_mm);
}

}  // namespace planner
