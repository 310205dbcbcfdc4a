#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include <opencv2/core.hpp>

#include "local_grid.h"

// Turning a robot-relative occupancy map (0 free … 1 occupied, map row after map row) into the
// local grid. The map passes through a one-channel grey image that keeps, between cycles, the
// pixels a smaller map does not cover.
namespace planner {

constexpr int kMapImageSize = kGridCells;
// Grey levels between these two bounds are unknown; above is occupied, below free.
constexpr int kGreyFreeBelow = 51;
constexpr int kGreyOccupiedAbove = 153;
constexpr double kGreyFullScale = 255.0;

// What the planner reads of a map reply; the cells stay owned by the reply.
struct MapReplyView {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  const float* cells = nullptr;
  std::size_t cellCount = 0;
};

// A new 200 × 200 one-channel grey image, all zero.
cv::Mat makeMapImage();

// Why a map reply cannot be drawn into the map image: larger than the grid, fewer cells than
// width × height, or a value that is not finite or does not scale into 32 bits. No value
// when the reply is usable.
std::optional<std::string> findMapReplyFault(const MapReplyView& map);

// Draws a usable map into the map image, read backwards so that map cell (H-1-mx, W-1-my)
// lands at image column mx, row my. Values wrap through the low 8 bits of value × 255.
void drawMapImage(const MapReplyView& map, cv::Mat& mapImage);

// Sets every cell of the grid from the map image: occupied, free or unknown.
void classifyGrid(const cv::Mat& mapImage, LocalGrid& grid);

// Checks the reply, draws it and classifies the grid. On a fault nothing is touched and the
// fault's description is returned.
std::optional<std::string> rebuildLocalGrid(const MapReplyView& map, cv::Mat& mapImage,
                                            LocalGrid& grid);

}  // namespace planner
