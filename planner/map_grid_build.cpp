#include "map_grid_build.h"

#include <array>
#include <cmath>

#include "cell_bits.h"

namespace planner {
namespace {

constexpr double kInt32TruncatesAbove = -2147483649.0;
constexpr double kInt32PastHighest = 2147483648.0;

std::uint8_t greyOf(float value) {
  const auto scaled = static_cast<std::int32_t>(value * kGreyFullScale);
  return static_cast<std::uint8_t>(scaled & 0xFF);
}

}  // namespace

cv::Mat makeMapImage() { return cv::Mat::zeros(kMapImageSize, kMapImageSize, CV_8UC1); }

std::optional<std::string> findMapReplyFault(const MapReplyView& map) {
  const std::string limit = std::to_string(kGridCells);
  if (map.width > static_cast<std::uint32_t>(kGridCells))
    return "map width " + std::to_string(map.width) + " is more than " + limit + " cells";
  if (map.height > static_cast<std::uint32_t>(kGridCells))
    return "map height " + std::to_string(map.height) + " is more than " + limit + " cells";
  const std::size_t needed = static_cast<std::size_t>(map.width) * map.height;
  if (map.cellCount < needed)
    return "map holds " + std::to_string(map.cellCount) + " cells, " + std::to_string(map.width) +
           " x " + std::to_string(map.height) + " needed";
  // Truncation towards zero fits 32 bits exactly inside these open bounds; NaN fails too. The
  // first pass has no early exit so that it vectorises; the second finds the culprit.
  const auto fits = [&](std::size_t i) {
    const double scaled = static_cast<double>(map.cells[i]) * kGreyFullScale;
    return (scaled > kInt32TruncatesAbove) & (scaled < kInt32PastHighest);
  };
  bool allFit = true;
  for (std::size_t i = 0; i < needed; ++i) allFit &= fits(i);
  if (allFit) return std::nullopt;
  for (std::size_t i = 0; i < needed; ++i) {
    if (fits(i)) continue;
    const double scaled = static_cast<double>(map.cells[i]) * kGreyFullScale;
    if (!std::isfinite(scaled)) return "map cell " + std::to_string(i) + " is not a finite number";
    return "map cell " + std::to_string(i) + " holds " + std::to_string(map.cells[i]) +
           ", too large for a grey level";
  }
  return std::nullopt;
}

void drawMapImage(const MapReplyView& map, cv::Mat& mapImage) {
  const std::size_t w = map.width;
  const std::size_t h = map.height;
  std::uint8_t* pixels = mapImage.data;
  const std::size_t rowStep = mapImage.step[0];
  for (std::size_t i = 0; i < h; ++i) {
    const float* mapRowEnd = map.cells + (h - i) * w - 1;
    for (std::size_t j = 0; j < w; ++j) pixels[j * rowStep + i] = greyOf(*(mapRowEnd - j));
  }
}

void classifyGrid(const cv::Mat& mapImage, LocalGrid& grid) {
  static const auto classOfGrey = [] {
    std::array<std::uint8_t, 256> table{};
    for (int grey = 0; grey < 256; ++grey)
      table[grey] = grey > kGreyOccupiedAbove ? kCellOccupied
                    : grey < kGreyFreeBelow   ? kCellFree
                                              : kCellUnknown;
    return table;
  }();
  const std::uint8_t* pixels = mapImage.data;
  const std::size_t rowStep = mapImage.step[0];
  for (int mx = 0; mx < kGridCells; ++mx) {
    std::uint8_t* cells = &grid.at(mx, 0);
    for (int my = 0; my < kGridCells; ++my) cells[my] = classOfGrey[pixels[my * rowStep + mx]];
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
