#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "grid_geometry.h"

namespace planner {

// The 200 × 200 robot-relative grid of one-byte cells (bits in cell_bits.h), addressed
// [row][column] as in grid_geometry.h. The first index is also the x coordinate of the
// planning image, the second its y coordinate.
class LocalGrid {
 public:
  LocalGrid() : cells_(kGridCells * kGridCells, 0) {}

  std::uint8_t& at(int row, int column) { return cells_[row * kGridCells + column]; }
  std::uint8_t at(int row, int column) const { return cells_[row * kGridCells + column]; }
  std::uint8_t& at(GridCell cell) { return at(cell.row, cell.column); }
  std::uint8_t at(GridCell cell) const { return at(cell.row, cell.column); }

  void clear() { std::fill(cells_.begin(), cells_.end(), std::uint8_t{0}); }
  std::size_t bytesAllocated() const { return cells_.capacity(); }

 private:
  std::vector<std::uint8_t> cells_;
};

}  // namespace planner
