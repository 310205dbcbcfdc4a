#pragma once
// The path a base has driven, collected from poses sampled during a run, kept small: a pose
// closer than the spacing to the last kept point adds nothing, and when the trail is full
// every second point is dropped (the first and the last stay) and the spacing doubles, so a
// run of any length fits in a bounded trail that still spans all of it.

#include <cstddef>
#include <vector>

#include "building_view.h"

namespace scene_views {

constexpr double kTrailSpacing_m = 0.02;
constexpr std::size_t kTrailCapacity = 4000;

class PathTrail {
 public:
  // spacing_m > 0; capacity >= 2.
  explicit PathTrail(double spacing_m = kTrailSpacing_m, std::size_t capacity = kTrailCapacity);

  void add(const FloorPoint& point);
  void clear();

  const std::vector<FloorPoint>& points() const { return points_; }
  double spacing_m() const { return spacing_m_; }

 private:
  void thinOut();

  double spacing_m_;
  std::size_t capacity_;
  std::vector<FloorPoint> points_;
};

}  // namespace scene_views
