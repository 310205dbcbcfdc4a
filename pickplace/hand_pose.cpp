#include "hand_pose.h"

#include "angles.h"
#include "console.h"

namespace pickplace {

char armLetter(Arm arm) { return arm == Arm::left ? 'L' : 'R'; }

std::string poseLine(const HandPose& pose) {
  return formatText("%+6.3f, %+6.3f, %+6.3f, %+7.2f, %+7.2f, %+7.2f\n", pose.x_m, pose.y_m,
                    pose.z_m, radToDeg(pose.yaw_rad), radToDeg(pose.pitch_rad),
                    radToDeg(pose.roll_rad));
}

}  // namespace pickplace
