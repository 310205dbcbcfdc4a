#pragma once

// The HIRO hand's dimensions, written down once. Each hand has two opposed fingers; a finger is
// a link jointed beside the hand's centre and turned by finger joint 0 (joint 2 for the other
// finger, mirrored); joints 1 and 3 sit at the fingertips and do not change the opening. The
// gateway, the coordinator and the simulated cell each turn an opening between the fingertips
// into finger angles by a law of their own; these are the numbers they share. Millimetres.
namespace hiro {

// A finger link, from its joint to the fingertip.
constexpr double kFingerLink_mm = 41.9;
// A finger joint from the hand's centre, along the opening direction.
constexpr double kFingerJointOffset_mm = 19.0;
// The finger joints from the hand pose's origin along the approach direction: palm and finger
// base.
constexpr double kFingerBaseDepth_mm = 75.0;
// Fingertips furthest apart: both links straight out along the opening direction.
constexpr double kWidestFingerSpan_mm = 2.0 * (kFingerLink_mm + kFingerJointOffset_mm);

}  // namespace hiro
