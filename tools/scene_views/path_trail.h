#pragma once
// The path a base has driven, collected from poses sampled during a run, kept small: a pose
// closer than the spacing to the last kept point adds nothing, and when the trail is full
// every second point is dropped (the first and the last stay) and the spacing doubles, so a
// run of any length fits in a bounded trail that still spans all of it. Not guarded: one
// thread at a time, or the caller's lock.

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
  // Starts anew, at the spacing it was made with.
  void clear();

  const std::vector<FloorPoint>& points() const { return points_; }
  double spacing_m() const { return spacing_m_; }
  // Along the points kept.
  double length_m() const;

 private:
  void thinOut();

  double initialSpacing_m_;
  double spacing_m_;
  std::size_t capacity_;
  std::vector<FloorPoint> points_;
};

}  // namespace scene_views
