#pragma once
// A task context over the plain fake world, with the console captured.

#include <sstream>

#include "cell_config.h"
#include "fake_cell_links.h"
#include "task_context.h"

namespace pickplace {

struct TaskFixture {
  TaskFixture() { slots.initialize(config.xPalletPlacedB_m, config.zPalletPlacedB_m); }

  TaskContext context(bool controllerPresent = true)
  {
    return TaskContext{config, controllerPresent, slots, grasp, lastPose, links, console};
  }

  CellConfig config = defaultCellConfig();
  PlacingSlots slots;
  FingerAngles grasp{};
  JointAngles lastPose;
  pickplace_fakes::FakeCellLinks links;
  std::ostringstream out;
  std::ostringstream err;
  Console console{out, err};
};

}  // namespace pickplace
