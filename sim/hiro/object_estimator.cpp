#include "object_estimator.h"

#include <cmath>

namespace hirosim {

using geometry::Frame;

void ObjectEstimator::addNoise(Frame& seen) {
  // normal_distribution needs a positive deviation; zero means exact.
  if (noise_->position_m > 0.0) {
    std::normal_distribution<double> position(0.0, noise_->position_m);
    seen.translation().x() += position(random_);
    seen.translation().y() += position(random_);
  }
  if (noise_->yaw_rad > 0.0) {
    std::normal_distribution<double> yaw(0.0, noise_->yaw_rad);
    seen = seen * geometry::frameOf(geometry::rotationZ(yaw(random_)), geometry::Vec3::Zero());
  }
}

ObjectEstimator::ObjectEstimator(const std::optional<EstimatorNoise>& noise)
    : noise_(noise), random_(noise ? noise->seed : 0u) {}

std::optional<ObjectEstimate> ObjectEstimator::estimate(const std::vector<ObjectPlace>& places,
                                                        const geometry::Pose6& worldInRobot) {
  if (!geometry::isFinite(worldInRobot)) return std::nullopt;
  for (const ObjectPlace& place : places) {
    if (place.support != Support::Table) continue;
    const Frame world = geometry::frameFromPose(worldInRobot);
    Frame seen = world.inverse() * geometry::frameOf(geometry::rotationZ(place.yaw_rad),
                                                     {place.x_m, place.y_m, place.z_m});
    if (noise_) addNoise(seen);
    ObjectEstimate estimate;
    estimate.classId = place.classId;
    estimate.size_m[0] = place.depth_m;
    estimate.size_m[1] = place.width_m;
    estimate.size_m[2] = place.height_m;
    const Frame inRobot = world * seen;
    const geometry::Vec3 base = inRobot.translation();
    estimate.pose = {base.x(), base.y(), base.z(), 0.0, 0.0, geometry::headingOf(inRobot)};
    return estimate;
  }
  return std::nullopt;
}

}  // namespace hirosim
