#pragma once
// Turns an operation list into one joint trajectory, asking the gateway for the IK solution
// of every hand pose.

#include <optional>

#include "cell_links.h"
#include "console.h"
#include "operation_node.h"

namespace pickplace {

struct Conversion {
  Trajectory trajectory;
  // The working pose after the last node: five groups at full size.
  JointAngles finalPose;
};

// One point per node, starting from `start` (groups it lacks start at zero). Empty, with one
// error line, when a hand node has no IK solution or a finger opening is out of range; empty
// without a line of its own, and peerFailed set, when a gateway call failed (the IK side
// reported it).
std::optional<Conversion> Hiro2HiroNX(const OperationList& list, const JointAngles& start,
                                      ArmIk& ik, Console& console, bool& peerFailed);

}  // namespace pickplace
