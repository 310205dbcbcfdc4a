#pragma once
// The text the demo ends with, and its verdict: each step with its answer and duration, each
// object against its slot, the tray against its put-down place, the base's collisions and
// distance. A part whose data could not be had is printed with the reason and fails the run.

#include <optional>
#include <string>
#include <vector>

#include "placement_check.h"
#include "step_record.h"

namespace demo_summary {

struct BaseRun {
  long collisions = 0;
  double travelled_m = 0.0;
};

struct SummaryInput {
  std::vector<StepRecord> steps;
  std::optional<PlacementReport> placement;
  std::string placementUnavailable;  // why placement is empty
  std::optional<BaseRun> base;
  std::string baseUnavailable;  // why base is empty
};

// True when every step succeeded, every object and the tray are where they belong, and the
// base did not collide.
bool summarySucceeded(const SummaryInput& input);

std::string formatSummary(const SummaryInput& input);

}  // namespace demo_summary
