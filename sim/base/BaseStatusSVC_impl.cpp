#include "BaseStatusSVC_impl.h"

SimBase::BaseStatus BaseStatusSVC_impl::getStatus() {
  SimBase::BaseStatus reply{};
  const auto world = world_.get();
  if (!world) return reply;
  const basesim::BaseStatus status = world->status();
  reply.collisions = status.collisions;
  reply.travelled_m = status.travelled_m;
  reply.x_m = status.pose.x_m;
  reply.y_m = status.pose.y_m;
  reply.heading_rad = status.pose.heading_rad;
  return reply;
}
