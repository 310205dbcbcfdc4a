#pragma once

#include <array>
#include <cstdint>

#include "grid_geometry.h"
#include "planner_pose.h"

namespace planner {

// One planned or predicted step: the command driven during a period and the pose at its end.
struct PathRecord {
  float v_mmps = 0.0f;  // speed along the path, negative backwards
  float r_mm = 0.0f;    // signed turn radius, 0 straight, positive clockwise in odometry terms
  PlannerPose pose;     // planner frame
  GridCell local_pose;  // grid cell of pose, (-1, -1) outside the grid
};

constexpr int kPathRecords = 4000;
constexpr int kStepRestartAt = 1000;
constexpr int kStepRestartTo = 500;

// The path records and the current step. path[step] holds this cycle's measured pose,
// path[step+1] the command being executed and the pose predicted for its end, path[step+2] the
// command planned for the next period.
class PathBook {
 public:
  PathRecord& operator[](int index) { return records_[index]; }
  const PathRecord& operator[](int index) const { return records_[index]; }
  PathRecord& current() { return records_[step_]; }
  PathRecord& executing() { return records_[step_ + 1]; }
  PathRecord& planned() { return records_[step_ + 2]; }
  const PathRecord& current() const { return records_[step_]; }
  const PathRecord& executing() const { return records_[step_ + 1]; }
  const PathRecord& planned() const { return records_[step_ + 2]; }
  std::int32_t step() const { return step_; }

  // Clears every record and the step, and puts the first two records at the start pose.
  void reset(const PlannerPose& start);

  // Next step. Reaching 1000 restarts at 500 with the last 500 steps (and the look-ahead
  // records beyond them) moved to the front; returns true when that happened.
  bool advance();

  // Both look-ahead records stand still at the current pose with the given command.
  void freezeLookAhead(float v_mmps, float r_mm);

 private:
  std::array<PathRecord, kPathRecords> records_{};
  std::int32_t step_ = 0;
};

}  // namespace planner
