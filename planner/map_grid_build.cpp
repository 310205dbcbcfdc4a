#include "map_grid_build.h"

#include <cmath>

#include "cell_bits.h"

namespace planner {
namespace {

constexpr double INT32_LOWEST = -2147483648.0;
constexpr double INT32_PAST_HIGHEST = 2147483648.0;

std::uint8_t greyOf(float value) {
  const auto scaled = static_cast<std::int32_t>(value * GREY_FULL_SCALE);
  return static_cast<std::uint8_t>(scaled & 0xFF);
}


}  // namespace

cv::Mat makeMapImage() { return cv::Mat::zeros(MAP_IMAGE_SIZE, MAP_IMAGE_SIZE, CV_8UC1); }

std::optional<std::string> findMapReplyFault(const MapReplyView& map) {
  const std::string limit = std::to_string(GRID_CELLS);
  if (map.width > static_cast<std::uint32_t>(GRID_CELLS))
    return "map width " + std::to_string(map.width) + " is more than " + limit + " cells";
  if (map.height > static_cast<std::uint32_t>(GRID_CELLS))
    return "map height " + std::to_string(map.height) + " is more than " + limit + " cells";
  const std::size_t needed = static_cast<std::size_t>(map.width) * map.height;
  if (map.cellCount < needed)
    return "map holds " + std::to_string(map.cellCount) + " cells, " +
           std::to_string(map.width) + " x " + std::to_string(map.height) + " needed";
  for (std::size_t i = 0; i < needed; ++i) {
    const double scaled = static_cast<double>(map.cells[i]) * GREY_FULL_SCALE;
    if (!std::isfinite(scaled))
      return "map cell " + std::to_string(i) + " is not a finite number";
    const double whole = std::trunc(scaled);
    if (whole < INT32_LOWEST || whole >= INT32_PAST_HIGHEST)
      return "map cell " + std::to_string(i) + " holds " + std::to_string(map.cells[i]) +
             ", too large for a grey level";
  }
  return std::nullopt;
}

void drawMapImage(const MapReplyView& map, cv::Mat& mapImage) {
  const std::size_t w = map.width;
  const std::size_t h = map.height;
  for (std::size_t i = 0; i < h; ++i) {
    const float* mapRow = map.cells + (h - 1 - i) * w;
    for (std::size_t j = 0; j < w; ++j)
      mapImage.ptr<std::uint8_t>(static_cast<int>(j))[i] = greyOf(mapRow[w - 1 - j]);
  }
}

void classifyGrid(const cv::Mat& mapImage, LocalGrid& grid) {
  for (int b = 0; b < GRID_CELLS; ++b) {
    const std::uint8_t* imageRow = mapImage.ptr<std::uint8_t>(b);
    for (int a = 0; a < GRID_CELLS; ++a) {
      const int grey = imageRow[a];
      grid.at(a, b) = grey > GREY_OCCUPIED_ABOVE ? CELL_OCCUPIED
                      : grey < GREY_FREE_BELOW   ? CELL_FREE
                                                 : CELL_UNKNOWN;
    }
  }
}

std::optional<std::string> rebuildLocalGrid(const MapReplyView& map, cv::Mat& mapImage,
                                            LocalGrid& grid) {
  if (auto fault = findMapReplyFault(map)) return fault;
  drawMapImage(map, mapImage);
  classifyGrid(mapImage, grid);
  return std::nullopt;
}

}  // namespace planner
