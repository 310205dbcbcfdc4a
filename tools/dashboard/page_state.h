#pragma once
// Everything the page shows but the pictures, as one value: what the watcher builds at its
// rate and the HTTP handlers hand out as JSON ("/api/state"). Plain data.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "scenario_steps.h"
#include "system_view.h"
#include "word_log.h"

namespace dashboard {

struct PlanningFrameInfo {
  int received = 0;        // pictures received since the dashboard started
  int step = 0;            // the planner's steps counted so far
  double runTime_s = 0.0;  // since the first picture (simulated seconds when scaled)
  double receivedAt_s = 0.0;
  bool mapMissing = false;
};

// A picture the page shows besides the planning image (building, cell from above, side).
struct SceneStatus {
  std::string name;  // "building", "cell-top", "cell-side": the picture's URL is /img/<name>.png
  std::string title;
  bool available = false;
  std::string problem;  // why there is no picture
  int version = 0;      // changes with every new picture, so the page reloads only those
};

// The outcome of a button press, shown under the buttons.
struct ActionOutcome {
  std::string what;  // "HIRO_OBJ_MANIP_START to coordinator", "activate Torvane0"
  bool ok = false;
  std::string detail;
  double time_s = 0.0;
};

struct PageState {
  double time_s = 0.0;  // when the watcher built it, seconds since the epoch
  double pollRate_hz = 0.0;
  SystemView system;
  WordLog coordinatorWords;
  WordLog plannerWords;
  WordLog sentWords;
  std::vector<StepView> steps;
  std::string stepsSource;  // the steps file, or "words"
  std::string stepsProblem;
  std::optional<PlanningFrameInfo> planning;
  std::vector<SceneStatus> scenes;
  std::deque<ActionOutcome> actions;  // newest last
};

inline constexpr std::size_t kMaxActionOutcomes = 10;

// The page's data: the state plus the graph's edges and the buttons the page may show.
nlohmann::json pageStateJson(const PageState& state);

}  // namespace dashboard
