#pragma once
// Turns an operation list into one joint trajectory, asking the gateway for the IK solution
// of every hand pose.

#include "cell_links.h"
#include "console.h"
#include "operation_node.h"
#include "task_result.h"

namespace pickplace {

struct Conversion {
  Trajectory trajectory;
  // The working pose after the last node: five groups at full size.
  JointAngles finalPose;
};

// One point per node, starting from `start` (groups it lacks start at zero). Fails at the
// first hand node without an IK solution or finger opening out of range, naming the node, or
// at the first gateway call that fails.
Result<Conversion> Hiro2HiroNX(const OperationList& list, const JointAngles& start, ArmIk& ik,
                               Console& console);

}  // namespace pickplace
