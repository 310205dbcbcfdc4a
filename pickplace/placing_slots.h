#pragma once
// The receiving pallet's slots: two per placeable object class, taken in order and freed
// only by activation.

#include <array>
#include <optional>

namespace pickplace {

// Slot position in the receiving pallet's frame B, metres.
struct SlotPosition {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

class PlacingSlots {
 public:
  static constexpr int kClassCount = 2;
  static constexpr int kSlotsPerClass = 2;

  // Lays the slots out around the pallet at (palletX_m, palletTopZ_m), all free.
  void initialize(double palletX_m, double palletTopZ_m);
  // Frees every slot.
  void clear();
  // Takes the first free slot of the class. Empty for a class other than 0 and 1, or when
  // both its slots are taken.
  std::optional<SlotPosition> take(long classId);

  bool isTaken(int classId, int slot) const { return cells_[classId][slot].taken; }
  const SlotPosition& position(int classId, int slot) const {
    return cells_[classId][slot].position;
  }

 private:
  struct Cell {
    SlotPosition position;
    bool taken = false;
  };
  std::array<std::array<Cell, kSlotsPerClass>, kClassCount> cells_{};
};

}  // namespace pickplace
