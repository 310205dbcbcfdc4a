#pragma once
// Hands the simulated world from the component (which builds it when activated) to the
// servants that answer on ORB threads; empty until then.

#include <memory>
#include <mutex>

#include "base_world.h"

namespace basesim {

class WorldSlot {
 public:
  void set(std::shared_ptr<BaseWorld> world) {
    std::lock_guard<std::mutex> lock(mutex_);
    world_ = std::move(world);
  }
  std::shared_ptr<BaseWorld> get() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return world_;
  }

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<BaseWorld> world_;
};

}  // namespace basesim
