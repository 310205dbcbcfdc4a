#pragma once
// A task context over the plain fake world, with the console captured.

#include <sstream>
#include <stdexcept>
#include <string>

#include "cell_config.h"
#include "fake_cell_links.h"
#include "operation_node.h"
#include "task_context.h"

namespace pickplace {

// The plan's node at index as the expected type; throws (failing the test) when it is another.
template <class Node>
const Node& nodeAs(const OperationList& list, std::size_t index) {
  const auto* node = dynamic_cast<const Node*>(list.at(index).get());
  if (!node) {
    throw std::runtime_error("node " + std::to_string(index) + " has another type");
  }
  return *node;
}

struct TaskFixture {
  TaskFixture() { slots.initialize(config.xPalletPlacedB_m, config.zPalletPlacedB_m); }

  TaskContext context(bool controllerPresent = true) {
    return TaskContext{config, controllerPresent, slots, grasp, lastPose, links, console};
  }

  CellConfig config = defaultCellConfig();
  PlacingSlots slots;
  FingerAngles grasp{};
  JointAngles lastPose;
  fakes::FakeCellLinks links;
  std::ostringstream out;
  std::ostringstream err;
  Console console{out, err};
};

}  // namespace pickplace
