// make_motion_set as its users call it: help, version, refusals with the usage, and a file
// the planner reads back.
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <planner/motion_set.h>

#include "tests/support/test_support.h"

namespace {

using test_support::RunResult;
using test_support::Seconds;

constexpr Seconds kRunTimeout{30};

class MakeMotionSet : public ::testing::Test {
 protected:
  test_support::TempDir dir;

  RunResult run(const std::vector<std::string>& arguments) {
    test_support::ChildOptions options;
    options.workingDirectory = dir.path();
    return test_support::runProgram(test_support::binPath("make_motion_set"), arguments,
                                    kRunTimeout, options);
  }
  bool exists(const std::string& name) { return std::ifstream(dir.path() + "/" + name).good(); }
};

TEST_F(MakeMotionSet, helpAndVersionAnswerAndWriteNothing) {
  const RunResult help = run({"--help"});
  EXPECT_TRUE(help.status.exitedWith(0)) << help.status.describe();
  EXPECT_NE(help.out.find("Usage: make_motion_set"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("RADIUS_MM:SPEED_MMPS"), std::string::npos) << help.out;
  EXPECT_FALSE(exists("--help"));

  const RunResult version = run({"--version"});
  EXPECT_TRUE(version.status.exitedWith(0)) << version.status.describe();
  EXPECT_EQ(version.out.rfind("make_motion_set ", 0), 0u) << version.out;
  EXPECT_FALSE(exists("--version"));
}

TEST_F(MakeMotionSet, anythingItDoesNotUnderstandGivesTheUsageAndExitTwo) {
  const std::vector<std::vector<std::string>> refused = {{},
                                                         {"--bogus", "out.mtn"},
                                                         {"out.mtn", "3000"},
                                                         {"out.mtn", "3000:fast"},
                                                         {"out.mtn", ":300"}};
  for (const auto& arguments : refused) {
    const RunResult result = run(arguments);
    EXPECT_TRUE(result.status.exitedWith(2)) << result.status.describe();
    EXPECT_NE(result.err.find("Usage: make_motion_set"), std::string::npos) << result.err;
  }
  EXPECT_FALSE(exists("out.mtn")) << "a refused line writes no file";
}

TEST_F(MakeMotionSet, writesThePrimitivesForThePlanner) {
  const RunResult result = run({"MotionSet.mtn", "3000:300", "-1600:400"});
  ASSERT_TRUE(result.status.exitedWith(0)) << result.err;
  const planner::MotionFile file = planner::readMotionFile(dir.path() + "/MotionSet.mtn");
  ASSERT_EQ(file.error, "");
  ASSERT_EQ(file.primitives.size(), 2u);
  EXPECT_EQ(file.primitives[0].r_mm, 3000.0f);
  EXPECT_EQ(file.primitives[0].v_mmps, 300.0f);
  EXPECT_EQ(file.primitives[1].r_mm, -1600.0f);
  EXPECT_EQ(file.primitives[1].v_mmps, 400.0f);
}

TEST_F(MakeMotionSet, aFileThatCannotBeWrittenIsReported) {
  const RunResult result = run({"no_such_folder/MotionSet.mtn"});
  EXPECT_TRUE(result.status.exitedWith(1)) << result.status.describe();
  EXPECT_NE(result.err.find("cannot write no_such_folder/MotionSet.mtn"), std::string::npos)
      << result.err;
}

}  // namespace
