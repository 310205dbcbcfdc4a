#include "path_trail.h"

#include <algorithm>
#include <cmath>

namespace scene_views {

PathTrail::PathTrail(double spacing_m, std::size_t capacity)
    : spacing_m_(spacing_m), capacity_(std::max<std::size_t>(capacity, 2)) {}

void PathTrail::add(const FloorPoint& point) {
  if (!points_.empty()) {
    const FloorPoint& last = points_.back();
    if (std::hypot(point.x_m - last.x_m, point.y_m - last.y_m) < spacing_m_) return;
  }
  if (points_.size() >= capacity_) thinOut();
  points_.push_back(point);
}

void PathTrail::clear() { points_.clear(); }

void PathTrail::thinOut() {
  std::vector<FloorPoint> kept;
  kept.reserve(points_.size() / 2 + 2);
  for (std::size_t i = 0; i < points_.size(); i += 2) kept.push_back(points_[i]);
  if (points_.size() % 2 == 0) kept.push_back(points_.back());
  points_ = std::move(kept);
  spacing_m_ *= 2.0;
}

}  // namespace scene_views
