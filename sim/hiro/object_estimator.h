#pragma once
// The simulated object pose estimation: looks at the table and reports the first object,
// in scene order, still standing on it. The measurement is taken in the vision (world)
// frame, whose pose in the robot frame the caller gives, where the optional noise is
// added, and reported back in the robot frame.

#include <optional>
#include <random>

#include "cell_world.h"
#include "gateway/geometry/frame.h"
#include "scene.h"

namespace hirosim {

struct ObjectEstimate {
  long classId = 0;
  double size_m[3] = {0, 0, 0};  // depth, width, height
  geometry::Pose6 pose;          // base centre in R; its yaw the object's heading
};

class ObjectEstimator {
 public:
  explicit ObjectEstimator(const std::optional<EstimatorNoise>& noise);

  // Nothing when no object is left on the table or the world pose is not finite.
  std::optional<ObjectEstimate> estimate(const std::vector<ObjectPlace>& places,
                                         const geometry::Pose6& worldInRobot);

 private:
  void addNoise(geometry::Frame& seen);

  std::optional<EstimatorNoise> noise_;
  std::mt19937 random_;
};

}  // namespace hirosim
