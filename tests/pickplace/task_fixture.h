#pragma once
// A task's world over the plain fakes, with the console captured.

#include <sstream>
#include <stdexcept>
#include <string>

#include "fake_task_world.h"
#include "operation_node.h"

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
  TaskContext context(bool controllerPresent = true) { return world.context(controllerPresent); }

  std::ostringstream out;
  std::ostringstream err;
  fakes::FakeTaskWorld world{out, err};
  // Short names for the parts the tests look at.
  CellConfig& config = world.config;
  PlacingSlots& slots = world.slots;
  FingerAngles& grasp = world.grasp;
  JointAngles& lastPose = world.lastPose;
  fakes::FakeCellLinks& links = world.links;
};

}  // namespace pickplace
