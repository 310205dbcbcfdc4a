#pragma once
// The simulator's status service: collisions, travelled distance, true pose and velocity of the
// base, and the building it drives in. All zero (and the plan not loaded) before the base is
// running.

#include <SimBase.hh>

#include "world_slot.h"

class BaseStatusSVC_impl : public virtual POA_SimBase::BaseStatusService,
                           public virtual PortableServer::RefCountServantBase {
 public:
  explicit BaseStatusSVC_impl(const basesim::WorldSlot& world) : world_(world) {}

  SimBase::BaseStatus getStatus() override;
  SimBase::FloorPlan* getFloorPlan() override;

 private:
  const basesim::WorldSlot& world_;
};
