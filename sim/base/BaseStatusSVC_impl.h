#pragma once
// The simulator's status service: collisions, travelled distance and true pose of the base.
// All zero before the base is running.

#include <SimBase.hh>

#include "world_slot.h"

class BaseStatusSVC_impl : public virtual POA_SimBase::BaseStatusService,
                           public virtual PortableServer::RefCountServantBase {
 public:
  explicit BaseStatusSVC_impl(const basesim::WorldSlot& world) : world_(world) {}

  SimBase::BaseStatus getStatus() override;

 private:
  const basesim::WorldSlot& world_;
};
