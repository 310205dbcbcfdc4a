#pragma once

#include "gateway/geometry/pose6.h"

// Moves a hand pose from the robot's base frame into the chest frame of a waist turned by
// waistYaw_rad: the position is turned about the vertical by -waistYaw_rad and the roll is
// reduced by it. For the hand pointing straight down (pitch -pi/2), which is how the
// coordinator plans, roll is the hand's turn about the vertical, so this is the exact turn.
void compensateWaist(const geometry::Pose6& pose_base, double waistYaw_rad,
                     geometry::Pose6& pose_chest);
