#include "operation_node.h"

#include "angles.h"
#include "console.h"

namespace pickplace {
namespace {

std::string fingerAnglesText(const FingerAngles& angles_rad) {
  return formatText("(%+.1f, %+.1f, %+.1f, %+.1f)[deg]", radToDeg(angles_rad[0]),
                    radToDeg(angles_rad[1]), radToDeg(angles_rad[2]), radToDeg(angles_rad[3]));
}

}  // namespace

std::string HandOperation::print() const {
  return formatText("Hand %c: ", armLetter(arm)) + poseLine(pose);
}

std::string HandLROperation::print() const {
  return "Hand LR: L/" + poseLine(left) + "Hand LR: R/" + poseLine(right);
}

std::string FingerAngleOperation::print() const {
  return formatText("Finger %c (Angle): ", armLetter(arm)) + fingerAnglesText(angles_rad) + "\n";
}

std::string FingerAngleLROperation::print() const {
  return "Finger LR (Angle): L/" + fingerAnglesText(left_rad) + " R/" +
         fingerAnglesText(right_rad) + "\n";
}

std::string FingerDistanceOperation::print() const {
  return formatText("Finger %c (Distance): %+.1f[mm]\n", armLetter(arm), opening_mm);
}

std::string FingerDistanceLROperation::print() const {
  return formatText("Finger LR (Distance): L/%+.1f[mm] R/%+.1f[mm]\n", left_mm, right_mm);
}

std::string JointOperation::print() const {
  return formatText("Joint: %u joints\n", static_cast<unsigned>(valueCount(pose_rad)));
}

std::string SleepOperation::print() const { return formatText("Sleep : %.3f[s]\n", seconds); }

}  // namespace pickplace
