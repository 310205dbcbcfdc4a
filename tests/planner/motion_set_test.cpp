#include <planner/motion_set.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace planner {
namespace {

class MotionFileTest : public ::testing::Test {
 protected:
  std::string fileName = ::testing::TempDir() + "motion_" +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".mtn";
  void TearDown() override { std::remove(fileName.c_str()); }
  void writeRaw(const std::string& bytes) { std::ofstream(fileName, std::ios::binary) << bytes; }
};

std::string lineOf(const std::string& text, int index) {
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) start = text.find('\n', start) + 1;
  return text.substr(start, text.find('\n', start) - start);
}

TEST_F(MotionFileTest, emptyFileGivesTheThirtyThreeFixedPrimitives) {
  ASSERT_TRUE(writeMotionFile(fileName, {}));
  const MotionFile file = readMotionFile(fileName);
  ASSERT_EQ(file.error, "");
  const auto set = expandMotionSet(file.primitives);
  ASSERT_EQ(set.size(), 33u);
  const std::string listing = formatMotionSet(set);
  EXPECT_EQ(lineOf(listing, 0), "Number of motion set = 33");
  EXPECT_EQ(lineOf(listing, 1), "[1]:r=0.00\tv=300.00\tvr=300.00\tvl=300.00");
  EXPECT_EQ(lineOf(listing, 33), "[33]:r=-800.00\tv=200.00\tvr=267.35\tvl=132.65");
}

TEST_F(MotionFileTest, primitivesAreExpandedWithHalvedRadiusAndSpeed) {
  ASSERT_TRUE(writeMotionFile(fileName, {{3000, 300}, {100, 300}}));
  const MotionFile file = readMotionFile(fileName);
  ASSERT_EQ(file.error, "");
  ASSERT_EQ(file.primitives.size(), 2u);
  EXPECT_EQ(file.unusedRecords.size(), 2u);
  const auto set = expandMotionSet(file.primitives);
  ASSERT_EQ(set.size(), 41u);
  const std::string listing = formatMotionSet(set);
  EXPECT_EQ(lineOf(listing, 1), "[1]:r=3000.00\tv=300.00\tvr=273.06\tvl=326.94");
  EXPECT_EQ(lineOf(listing, 2), "[2]:r=100.00\tv=300.00\tvr=-300.00\tvl=300.00");
  EXPECT_EQ(lineOf(listing, 3), "[3]:r=3000.00\tv=150.00\tvr=136.53\tvl=163.47");
  EXPECT_EQ(lineOf(listing, 5), "[5]:r=1500.00\tv=300.00\tvr=246.12\tvl=353.88");
  EXPECT_EQ(lineOf(listing, 7), "[7]:r=1500.00\tv=150.00\tvr=123.06\tvl=176.94");
  EXPECT_EQ(lineOf(listing, 9), "[9]:r=0.00\tv=300.00\tvr=300.00\tvl=300.00");
}

TEST_F(MotionFileTest, missingFileIsRefusedByName) {
  const MotionFile file = readMotionFile(fileName);
  EXPECT_EQ(file.error, "ERROR : motion data file (" + fileName + ") is nothing. exit.\n");
}

TEST_F(MotionFileTest, negativeCountIsRefused) {
  writeRaw(std::string("\xff\xff\xff\xff", 4));
  const MotionFile file = readMotionFile(fileName);
  EXPECT_NE(file.error.find(fileName), std::string::npos);
  EXPECT_NE(file.error.find("negative primitive count -1"), std::string::npos) << file.error;
}

TEST_F(MotionFileTest, countNotMatchingTheSizeIsRefused) {
  ASSERT_TRUE(writeMotionFile(fileName, {{0, 100}}));
  writeRaw(std::string("\x02\x00\x00\x00", 4) + std::string(16, '\0'));
  const MotionFile file = readMotionFile(fileName);
  EXPECT_NE(file.error.find(fileName), std::string::npos);
  EXPECT_NE(file.error.find("holds 20 bytes"), std::string::npos) << file.error;
  EXPECT_TRUE(file.primitives.empty());
  writeRaw(std::string("\x00\x00", 2));
  EXPECT_NE(readMotionFile(fileName).error.find("no primitive count"), std::string::npos);
}

TEST(ParseRadiusSpeed, takesTwoNumbersAroundOneColon) {
  const auto turn = parseRadiusSpeed("-1600:400");
  ASSERT_TRUE(turn.has_value());
  EXPECT_EQ(turn->r_mm, -1600.0f);
  EXPECT_EQ(turn->v_mmps, 400.0f);
  EXPECT_TRUE(parseRadiusSpeed("0:300.5").has_value());
  for (const char* refused : {"3000", "3000:", ":300", "a:300", "3000:300x", "3000:300:1",
                              "nan:300", "3000:inf", "--help"})
    EXPECT_FALSE(parseRadiusSpeed(refused).has_value()) << refused;
}

}  // namespace
}  // namespace planner
