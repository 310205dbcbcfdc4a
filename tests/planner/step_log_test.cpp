#include <planner/step_log.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace planner {
namespace {

class StepLogTest : public ::testing::Test {
 protected:
  std::string fileName = ::testing::TempDir() + "steplog_" +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
  void TearDown() override { std::remove(fileName.c_str()); }
  std::string content() {
    std::ifstream file(fileName);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
};

TEST_F(StepLogTest, threeCyclesGiveThreeNumberedBlocksAndTheAverage) {
  PathBook path;
  path.reset(PlannerPose{});
  StepLog log;
  ASSERT_TRUE(log.open(fileName));
  for (int value : {4, 6, 9}) {
    path.executing().v_mmps = 300.0f;
    path.executing().r_mm = -3000.0f;
    path.planned().pose = PlannerPose{12.345f, -6.0f, 0.0f};
    log.append(value, path);
    path.advance();
  }
  log.close();
  const std::string block2 =
      "step0002 : 6\n"
      "path[step+0]::: v: 300.00  r: -3000.00\tpose_x:0.00 y:0.00\n"
      "path[step+1]::: v: 300.00  r: -3000.00\tpose_x:12.35 y:-6.00\n"
      "path[step+2]::: v: 0.00  r: 0.00\tpose_x:12.35 y:-6.00\n\n";
  const std::string text = content();
  EXPECT_EQ(text.substr(0, 9), "step0001 ");
  EXPECT_NE(text.find(block2), std::string::npos) << text;
  EXPECT_NE(text.find("step0003 : 9\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 11), "\naverage=6\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3 * 5 + 2);
}

TEST_F(StepLogTest, everyBlockIsInTheFileAsSoonAsItIsAppended) {
  PathBook path;
  path.reset(PlannerPose{});
  StepLog log;
  ASSERT_TRUE(log.open(fileName));
  log.append(7, path);
  // Read while the log is still open, as after the process was killed.
  const std::string text = content();
  EXPECT_EQ(text.substr(0, 13), "step0001 : 7\n") << text;
  EXPECT_EQ(text.substr(text.size() - 2), "\n\n") << "the whole block: " << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
  log.append(8, path);
  const std::string twoBlocks = content();
  EXPECT_EQ(std::count(twoBlocks.begin(), twoBlocks.end(), '\n'), 10);
}

TEST_F(StepLogTest, closingWithoutRecordsSaysAverageZero) {
  {
    StepLog log;
    ASSERT_TRUE(log.open(fileName));
  }
  EXPECT_EQ(content(), "\naverage=0\n");
}

TEST_F(StepLogTest, openFailsForAnUnwritablePath) {
  StepLog log;
  EXPECT_FALSE(log.open(::testing::TempDir() + "no_such_dir/x/data_log.txt"));
}

}  // namespace
}  // namespace planner
