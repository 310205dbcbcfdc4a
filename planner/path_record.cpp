#include "path_record.h"

#include <algorithm>

namespace planner {
namespace {

// The records after the step that the next cycles still read: the command being executed
// and the one planned after it.
constexpr int kLookAheadRecords = 2;

}  // namespace

void PathBook::reset(const PlannerPose& start) {
  records_.fill(PathRecord{});
  records_[0].pose = start;
  records_[1].pose = start;
  step_ = 0;
}

bool PathBook::advance() {
  ++step_;
  if (step_ < kStepRestartAt) return false;
  const int shift = kStepRestartAt - kStepRestartTo;
  std::copy(records_.begin() + shift, records_.begin() + step_ + kLookAheadRecords + 1,
            records_.begin());
  step_ = kStepRestartTo;
  return true;
}

void PathBook::freezeLookAhead(float v_mmps, float r_mm) {
  records_[step_ + 1] = records_[step_];
  records_[step_ + 1].v_mmps = v_mmps;
  records_[step_ + 1].r_mm = r_mm;
  records_[step_ + 2] = records_[step_ + 1];
  records_[step_ + 2].v_mmps = v_mmps;
  records_[step_ + 2].r_mm = r_mm;
}

}  // namespace planner
