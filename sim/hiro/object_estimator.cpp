#include "object_estimator.h"

#include <cmath>

namespace hirosim {
namespace {

bool finitePose(const Pose6& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(p.r) &&
         std::isfinite(p.p) && std::isfinite(p.yaw);
}

}  // namespace

void ObjectEstimator::addNoise(Frame& seen) {
  // normal_distribution needs a positive deviation; zero means exact.
  if (noise_->position_m > 0.0) {
    std::normal_distribution<double> position(0.0, noise_->position_m);
    seen.position.x += position(random_);
    seen.position.y += position(random_);
  }
  if (noise_->yaw_rad > 0.0) {
    std::normal_distribution<double> yaw(0.0, noise_->yaw_rad);
    seen = compose(seen, Frame{rotationAboutZ(yaw(random_)), {0, 0, 0}});
  }
}

ObjectEstimator::ObjectEstimator(const std::optional<EstimatorNoise>& noise)
    : noise_(noise), random_(noise ? noise->seed : 0u) {}

std::optional<ObjectEstimate> ObjectEstimator::estimate(const std::vector<ObjectPlace>& places,
                                                        const Pose6& worldInRobot) {
  if (!finitePose(worldInRobot)) return std::nullopt;
  for (const ObjectPlace& place : places) {
    if (place.support != Support::Table) continue;
    const Frame world = frameFromPose(worldInRobot);
    Frame seen = compose(inverse(world),
                         Frame{rotationAboutZ(place.yaw_rad), {place.x_m, place.y_m, place.z_m}});
    if (noise_) addNoise(seen);
    ObjectEstimate estimate;
    estimate.classId = place.classId;
    estimate.size_m[0] = place.depth_m;
    estimate.size_m[1] = place.width_m;
    estimate.size_m[2] = place.height_m;
    const Frame inRobot = compose(world, seen);
    estimate.pose = {inRobot.position.x, inRobot.position.y, inRobot.position.z, 0.0, 0.0,
                     headingOf(inRobot)};
    return estimate;
  }
  return std::nullopt;
}

}  // namespace hirosim
