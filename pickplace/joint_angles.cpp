#include "joint_angles.h"

#include "angles.h"

namespace pickplace {

JointAngles initialPose() {
  return {
      {0.0, 0.0, 0.45},
      {-0.407, -0.126, -2.727, 0.125, 0.392, 0.056},
      {0.407, -0.126, -2.727, -0.125, 0.392, -0.056},
      {},
      {},
  };
}

JointAngles bodyPose() {
  JointAngles body(kJointGroupCount);
  body[kBodyHead] = initialPose()[kBodyHead];
  return body;
}

JointAngles fullWorkingPose(const JointAngles& start) {
  JointAngles full(kJointGroupCount);
  for (std::size_t g = 0; g < kJointGroupCount; ++g) {
    full[g].assign(kJointGroupSizes[g], 0.0);
    if (g < start.size() && !start[g].empty()) {
      for (std::size_t k = 0; k < kJointGroupSizes[g] && k < start[g].size(); ++k) {
        full[g][k] = start[g][k];
      }
    }
  }
  return full;
}

void copyGivenGroups(const JointAngles& from, JointAngles& into) {
  for (std::size_t g = 0; g < from.size() && g < into.size(); ++g) {
    if (!from[g].empty()) {
      into[g] = from[g];
    }
  }
}

std::size_t valueCount(const JointAngles& angles) {
  std::size_t count = 0;
  for (const auto& group : angles) {
    count += group.size();
  }
  return count;
}

std::vector<double> controllerPointDeg(const JointAngles& full) {
  std::vector<double> point;
  point.reserve(kControllerPointSize);
  for (std::size_t g = 0; g < kJointGroupCount; ++g) {
    for (std::size_t k = 0; k < kJointGroupSizes[g]; ++k) {
      const bool given = g < full.size() && k < full[g].size();
      point.push_back(given ? radToDeg(full[g][k]) : 0.0);
    }
  }
  point.push_back(0.0);
  return point;
}

}  // namespace pickplace
