#include <array>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "gateway/ik/arm_ik_solve.h"
#include "gateway/ik/solution_filter.h"
#include "gateway/ik/solver_input.h"
#include "gateway/ik/waist_compensation.h"

namespace {

constexpr double kDeg = 0.017453292519943295;

ikfast::IKSolution withJoint(int joint, double value_rad) {
  std::array<double, 6> joints{0.0, 0.0, -0.5, 0.0, 0.0, 0.0};
  joints[joint] = value_rad;
  return ikfast::IKSolution(joints);
}

TEST(SolutionFilter, leftElbowAtZeroIsKeptAndJustAboveIsRejected) {
  std::vector<int> admissible;
  EXPECT_TRUE(ikfast::hiro::larm::filter({withJoint(2, 0.0)}, admissible));
  EXPECT_EQ(admissible, std::vector<int>{0});
  EXPECT_FALSE(ikfast::hiro::larm::filter({withJoint(2, 0.001)}, admissible));
  EXPECT_TRUE(admissible.empty());
}

TEST(SolutionFilter, wristTwistOf150DegreesIsKeptLeftAndRejectedRight) {
  std::vector<int> admissible;
  EXPECT_TRUE(ikfast::hiro::larm::filter({withJoint(3, 150 * kDeg)}, admissible));
  EXPECT_FALSE(ikfast::hiro::rarm::filter({withJoint(3, 150 * kDeg)}, admissible));
  EXPECT_TRUE(ikfast::hiro::rarm::filter({withJoint(3, -150 * kDeg)}, admissible));
  EXPECT_FALSE(ikfast::hiro::larm::filter({withJoint(3, -150 * kDeg)}, admissible));
}

TEST(SolutionFilter, rangeEndsAreInclusive) {
  std::vector<int> admissible;
  const ikfast::IKSolutionList ends{withJoint(0, -85 * kDeg),  withJoint(1, 115 * kDeg),
                                    withJoint(2, -155 * kDeg), withJoint(4, 95 * kDeg),
                                    withJoint(5, -125 * kDeg), withJoint(5, 125.01 * kDeg)};
  EXPECT_TRUE(ikfast::hiro::rarm::filter(ends, admissible));
  EXPECT_EQ(admissible, (std::vector<int>{0, 1, 2, 3, 4}));
}

// A stand-in solver that hands out a fixed list, to see which solution solve picks.
ikfast::IKSolutionList fixedList;
bool fixedSolver(const double*, const double*, const double*, ikfast::IKSolutionList& out) {
  out = fixedList;
  return !out.empty();
}

TEST(SolveAdmissible, countsAdmissibleAndChoosesTheLowestIndex) {
  fixedList = {withJoint(2, 0.5), withJoint(0, 0.2), withJoint(1, 2.5), withJoint(0, -0.3),
               withJoint(0, 0.4)};
  const ArmIkCalls calls{&fixedSolver, &ikfast::hiro::larm::filter};
  ikfast::IKSolutionList solutions;
  std::vector<int> admissible;
  std::array<double, 6> chosen{};
  EXPECT_EQ(solveAdmissible(calls, geometry::Pose6{}, solutions, admissible, chosen), 3);
  EXPECT_EQ(admissible, (std::vector<int>{1, 3, 4}));
  EXPECT_DOUBLE_EQ(chosen[0], 0.2);
  fixedList = {withJoint(2, 0.5)};
  EXPECT_EQ(solveAdmissible(calls, geometry::Pose6{}, solutions, admissible, chosen), 0);
  fixedList = {};
  EXPECT_EQ(solveAdmissible(calls, geometry::Pose6{}, solutions, admissible, chosen), 0);
}

TEST(WaistCompensation, zeroYawLeavesThePoseUnchanged) {
  const geometry::Pose6 pose{0.3, -0.2, 0.25, 0.4, -1.2, 0.1};
  geometry::Pose6 out;
  compensateWaist(pose, 0.0, out);
  EXPECT_EQ(out.x_m, pose.x_m);
  EXPECT_EQ(out.y_m, pose.y_m);
  EXPECT_EQ(out.z_m, pose.z_m);
  EXPECT_EQ(out.roll_rad, pose.roll_rad);
  EXPECT_EQ(out.pitch_rad, pose.pitch_rad);
  EXPECT_EQ(out.yaw_rad, pose.yaw_rad);
}

TEST(WaistCompensation, turnsThePositionBackAndReducesRoll) {
  geometry::Pose6 out;
  compensateWaist({0.0, 0.5, 0.2, 0.3, -1.0, 0.1}, 90 * kDeg, out);
  EXPECT_NEAR(out.x_m, 0.5, 1e-15);
  EXPECT_NEAR(out.y_m, 0.0, 1e-15);
  EXPECT_DOUBLE_EQ(out.z_m, 0.2);
  EXPECT_DOUBLE_EQ(out.roll_rad, 0.3 - 90 * kDeg);
  EXPECT_DOUBLE_EQ(out.pitch_rad, -1.0);
  EXPECT_DOUBLE_EQ(out.yaw_rad, 0.1);
}

TEST(SolverInput, rotationIsRowMajorYawPitchRoll) {
  const SolverInput input = solverInputFor({0.1, 0.2, 0.3, 0.0, 0.0, 90 * kDeg});
  EXPECT_DOUBLE_EQ(input.translation[2], 0.3);
  // Rz(90 degrees): first row (0, -1, 0).
  EXPECT_NEAR(input.rotation[0], 0.0, 1e-15);
  EXPECT_NEAR(input.rotation[1], -1.0, 1e-15);
  EXPECT_NEAR(input.rotation[3], 1.0, 1e-15);
  EXPECT_NEAR(input.rotation[8], 1.0, 1e-15);
}

}  // namespace
