#pragma once

#include <cstdint>

// Meaning of the bits of one local-grid cell. Right after a grid build every cell holds
// exactly one of FREE, OCCUPIED or UNKNOWN; the other bits are added later in the cycle.
namespace planner {

constexpr std::uint8_t kCellFree = 0x00;
constexpr std::uint8_t kCellOccupied = 0x01;
// A second blocking class that nothing sets; the collision rule still honours it.
constexpr std::uint8_t kCellBlockedOther = 0x02;
// The predicted robot cell: SEARCH is what the subgoal selection looks for, DRAWN is painted blue.
constexpr std::uint8_t kCellPredictedSearch = 0x04;
constexpr std::uint8_t kCellPredictedDrawn = 0x40;
constexpr std::uint8_t kCellPredicted = kCellPredictedSearch | kCellPredictedDrawn;
// Unknown cell; also an obstacle released inside the goal area.
constexpr std::uint8_t kCellUnknown = 0x80;
// A cell with any of these bits blocks the base (collision check, subgoal selection).
constexpr std::uint8_t kCellBlockingMask = kCellOccupied | kCellBlockedOther | kCellUnknown;

}  // namespace planner
