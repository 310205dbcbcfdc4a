#include "path_trail.h"

#include <algorithm>
#include <cmath>

namespace scene_views {

PathTrail::PathTrail(double spacing_m, std::size_t capacity)
    : initialSpacing_m_(spacing_m),
      spacing_m_(spacing_m),
      capacity_(std::max<std::size_t>(capacity, 2)) {}

void PathTrail::add(const FloorPoint& point) {
  if (!points_.empty()) {
    const FloorPoint& last = points_.back();
    if (std::hypot(point.x_m - last.x_m, point.y_m - last.y_m) < spacing_m_) return;
  }
  if (points_.size() >= capacity_) thinOut();
  points_.push_back(point);
}

void PathTrail::clear() {
  points_.clear();
  spacing_m_ = initialSpacing_m_;
}

double PathTrail::length_m() const {
  double length = 0.0;
  for (std::size_t i = 1; i < points_.size(); ++i) {
    length += std::hypot(points_[i].x_m - points_[i - 1].x_m, points_[i].y_m - points_[i - 1].y_m);
  }
  return length;
}

void PathTrail::thinOut() {
  std::vector<FloorPoint> kept;
  kept.reserve(points_.size() / 2 + 2);
  for (std::size_t i = 0; i < points_.size(); i += 2) kept.push_back(points_[i]);
  if (points_.size() % 2 == 0) kept.push_back(points_.back());
  points_ = std::move(kept);
  spacing_m_ *= 2.0;
}

}  // namespace scene_views
