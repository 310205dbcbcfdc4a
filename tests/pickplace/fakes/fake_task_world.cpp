#include "fake_task_world.h"

namespace pickplace::fakes {

FakeTaskWorld::FakeTaskWorld(std::ostream& out, std::ostream& err) : console(out, err) {
  slots.initialize(config.xPalletPlacedB_m, config.zPalletPlacedB_m);
}

TaskContext FakeTaskWorld::context(bool controllerPresent) {
  return TaskContext{config, controllerPresent, stopRequested, slots,
                     grasp,  lastPose,          links,         console};
}

}  // namespace pickplace::fakes
