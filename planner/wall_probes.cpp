#include "wall_probes.h"

#include "cell_bits.h"

namespace planner {
namespace {

bool isWall(const LocalGrid& grid, int row, int column) {
  return (grid.at(row, column) & kCellOccupied) != 0;
}

}  // namespace

float frontDistance(const LocalGrid& grid) {
  int column = kRobotCell;
  while (column >= 0 && !isWall(grid, kRobotCell, column)) --column;
  return static_cast<float>((kRobotCell - column) * kCellSize_mm);
}

float leftWallDistance(const LocalGrid& grid) {
  int row = kRobotCell;
  while (row >= 0 && !isWall(grid, row, kSideProbeColumn)) --row;
  return static_cast<float>((kRobotCell - row) * kCellSize_mm);
}

float rightWallDistance(const LocalGrid& grid) {
  int row = kRobotCell;
  while (row < kGridCells && !isWall(grid, row, kSideProbeColumn)) ++row;
  return static_cast<float>((row - kRobotCell) * kCellSize_mm);
}

}  // namespace planner
