#include "placing_slots.h"

#include "cell_config.h"

namespace pickplace {

void PlacingSlots::initialize(double palletX_m, double palletTopZ_m) {
  // Class 0 on the +y side, class 1 on the -y side; slot 0 the farther one.
  for (int classId = 0; classId < kClassCount; ++classId) {
    const double y_m = classId == 0 ? kSlotOffsetY_m : -kSlotOffsetY_m;
    for (int slot = 0; slot < kSlotsPerClass; ++slot) {
      const double x_m = slot == 0 ? palletX_m + kSlotOffsetX_m : palletX_m - kSlotOffsetX_m;
      cells_[classId][slot] = Cell{SlotPosition{x_m, y_m, palletTopZ_m + kSlotHeight_m}, false};
    }
  }
}

void PlacingSlots::clear() {
  for (auto& column : cells_) {
    for (auto& cell : column) {
      cell.taken = false;
    }
  }
}

std::optional<SlotPosition> PlacingSlots::take(long classId) {
  if (classId < 0 || classId >= kClassCount) {
    return std::nullopt;
  }
  for (auto& cell : cells_[classId]) {
    if (!cell.taken) {
      cell.taken = true;
      return cell.position;
    }
  }
  return std::nullopt;
}

}  // namespace pickplace
