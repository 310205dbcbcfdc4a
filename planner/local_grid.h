#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "grid_geometry.h"

namespace planner {

// The 200 × 200 robot-relative grid of one-byte cells (bits in cell_bits.h), addressed by the
// cell indices (mx, my) of grid_geometry.h.
class LocalGrid {
 public:
  LocalGrid() : cells_(kGridCells * kGridCells, 0) {}

  std::uint8_t& at(int mx, int my) { return cells_[mx * kGridCells + my]; }
  std::uint8_t at(int mx, int my) const { return cells_[mx * kGridCells + my]; }
  std::uint8_t& at(GridCell cell) { return at(cell.mx, cell.my); }
  std::uint8_t at(GridCell cell) const { return at(cell.mx, cell.my); }

  void clear() { std::fill(cells_.begin(), cells_.end(), std::uint8_t{0}); }
  std::size_t bytesAllocated() const { return cells_.capacity(); }

 private:
  std::vector<std::uint8_t> cells_;
};

}  // namespace planner
