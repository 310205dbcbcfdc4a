#include <planner/map_grid_build.h>

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include <planner/cell_bits.h>

namespace planner {
namespace {

struct Map {
  std::uint32_t width;
  std::uint32_t height;
  std::vector<float> cells;

  Map(std::uint32_t w, std::uint32_t h, float fill = 0.0f)
      : width(w), height(h), cells(w * h, fill) {}
  MapReplyView view() const { return MapReplyView{width, height, cells.data(), cells.size()}; }
};

class GridBuild : public ::testing::Test {
 protected:
  cv::Mat mapImage = makeMapImage();
  LocalGrid grid;

  void build(const Map& map) { ASSERT_FALSE(rebuildLocalGrid(map.view(), mapImage, grid)); }
  int countCells(std::uint8_t value) const {
    int count = 0;
    for (int a = 0; a < kGridCells; ++a)
      for (int b = 0; b < kGridCells; ++b) count += grid.at(a, b) == value;
    return count;
  }
};

TEST_F(GridBuild, firstMapCellLandsInTheLastGridCell) {
  Map map(200, 200);
  map.cells[0] = 1.0f;
  build(map);
  EXPECT_EQ(grid.at(199, 199), kCellOccupied);
  EXPECT_EQ(countCells(kCellFree), 200 * 200 - 1);
}

TEST_F(GridBuild, mapRowsRunAlongTheFirstGridIndexReversed) {
  Map map(200, 200);
  map.cells[3 * 200 + 7] = 1.0f;  // map row 3, column 7
  build(map);
  EXPECT_EQ(grid.at(196, 192), kCellOccupied);
  EXPECT_EQ(countCells(kCellOccupied), 1);
}

TEST_F(GridBuild, classifiesByGreyLevel) {
  const std::vector<std::pair<float, std::uint8_t>> cases = {
      {0.6f, kCellUnknown}, {0.61f, kCellOccupied}, {0.19f, kCellFree}, {1.0f, kCellOccupied},
      {0.199f, kCellFree},  {0.2f, kCellUnknown},   {-1.0f, kCellFree}, {1.5f, kCellUnknown}};
  for (const auto& [value, expected] : cases) {
    Map map(200, 200);
    map.cells.back() = value;
    build(map);
    EXPECT_EQ(grid.at(0, 0), expected) << "map value " << value;
  }
}

TEST_F(GridBuild, valuesOutsideTheUnitRangeWrapThroughTheLowByte) {
  Map map(1, 2);
  map.cells = {-1.0f, 1.5f};
  build(map);
  EXPECT_EQ(mapImage.at<std::uint8_t>(0, 1), 1);    // -255 -> 0x01
  EXPECT_EQ(mapImage.at<std::uint8_t>(0, 0), 126);  // 382 -> 0x7E
}

TEST_F(GridBuild, smallerMapKeepsTheOlderPixels) {
  build(Map(200, 200, 1.0f));
  build(Map(100, 100, 0.0f));
  EXPECT_EQ(grid.at(0, 0), kCellFree);
  EXPECT_EQ(grid.at(99, 99), kCellFree);
  EXPECT_EQ(grid.at(100, 0), kCellOccupied);
  EXPECT_EQ(grid.at(0, 100), kCellOccupied);
  EXPECT_EQ(countCells(kCellFree), 100 * 100);
}

TEST_F(GridBuild, emptyMapRebuildsFromTheOldPixels) {
  build(Map(200, 200, 1.0f));
  grid.at(5, 5) = kCellPredicted;
  build(Map(0, 0));
  EXPECT_EQ(countCells(kCellOccupied), 200 * 200);
}

TEST_F(GridBuild, rebuildOverwritesEveryMarkOfTheLastCycle) {
  build(Map(200, 200));
  grid.at(100, 100) = kCellPredicted | kCellBlockedOther;
  build(Map(200, 200));
  EXPECT_EQ(countCells(kCellFree), 200 * 200);
}

class MapFault : public GridBuild {
 protected:
  void expectRejected(const Map& map, const std::string& wording) {
    build(Map(200, 200, 1.0f));
    const auto fault = rebuildLocalGrid(map.view(), mapImage, grid);
    ASSERT_TRUE(fault.has_value());
    EXPECT_NE(fault->find(wording), std::string::npos) << *fault;
    EXPECT_EQ(countCells(kCellOccupied), 200 * 200) << "a rejected map must not touch the grid";
    EXPECT_EQ(cv::countNonZero(mapImage), 200 * 200);
  }
};

TEST_F(MapFault, tooWideIsRejected) { expectRejected(Map(201, 10), "width 201"); }
TEST_F(MapFault, tooTallIsRejected) { expectRejected(Map(10, 201), "height 201"); }

TEST_F(MapFault, tooFewCellsIsRejected) {
  Map map(200, 200);
  map.cells.resize(200 * 200 - 1);
  expectRejected(map, "39999 cells");
}

TEST_F(MapFault, nonFiniteValueIsRejected) {
  Map map(200, 200);
  map.cells[17] = std::numeric_limits<float>::quiet_NaN();
  expectRejected(map, "cell 17 is not a finite");
  map.cells[17] = std::numeric_limits<float>::infinity();
  expectRejected(map, "cell 17 is not a finite");
}

TEST_F(MapFault, valueBeyondThirtyTwoBitsIsRejected) {
  Map map(200, 200);
  map.cells[5] = 1e8f;  // 2.55e10 does not fit
  expectRejected(map, "cell 5");
  map.cells[5] = -1e8f;
  expectRejected(map, "cell 5");
}

TEST(MapFaultCheck, largestFittingValueIsAccepted) {
  std::vector<float> cells = {8.0e6f, -8.0e6f};
  EXPECT_FALSE(findMapReplyFault(MapReplyView{2, 1, cells.data(), cells.size()}));
}

TEST(MapFaultCheck, emptyMapIsValid) {
  EXPECT_FALSE(findMapReplyFault(MapReplyView{0, 0, nullptr, 0}));
  EXPECT_FALSE(findMapReplyFault(MapReplyView{200, 0, nullptr, 0}));
}

}  // namespace
}  // namespace planner
