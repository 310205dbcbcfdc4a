#pragma once
// Everything a task works with, over the plain fake links: the configuration at its
// defaults, the placing slots laid out from it, the grasp, the last pose and the stop flag.
// For tests of the planners and the conversion, and for benches.

#include <atomic>
#include <ostream>

#include "cell_config.h"
#include "console.h"
#include "fake_cell_links.h"
#include "task_context.h"

namespace pickplace::fakes {

struct FakeTaskWorld {
  // The console writes progress to `out` and failures to `err`; both must outlive the world.
  FakeTaskWorld(std::ostream& out, std::ostream& err);

  // A task as the coordinator starts one, with or without a controller at activation.
  TaskContext context(bool controllerPresent = true);

  CellConfig config = defaultCellConfig();
  PlacingSlots slots;
  FingerAngles grasp{};
  JointAngles lastPose;
  std::atomic<bool> stopRequested{false};
  FakeCellLinks links;
  Console console;
};

}  // namespace pickplace::fakes
