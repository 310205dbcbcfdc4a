#include "BaseStatusSVC_impl.h"

namespace {

SimBase::Point pointOf(const basesim::WorldPoint& point) { return {point.x_m, point.y_m}; }

void setOptional(SimBase::OptionalPoint& out, const std::optional<basesim::WorldPoint>& point) {
  out.length(point ? 1 : 0);
  if (point) out[0] = pointOf(*point);
}

}  // namespace

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
  reply.vx_mps = status.velocity.vx_mps;
  reply.va_radps = status.velocity.va_radps;
  reply.time_s = status.time_s;
  return reply;
}

SimBase::FloorPlan* BaseStatusSVC_impl::getFloorPlan() {
  SimBase::FloorPlan_var reply = new SimBase::FloorPlan;
  reply->loaded = false;
  reply->start = {0.0, 0.0};
  reply->start_heading_rad = 0.0;
  reply->footprint_radius_m = 0.0;
  const auto world = world_.get();
  if (!world) return reply._retn();
  const basesim::FloorPlan& plan = world->plan();
  reply->loaded = true;
  reply->walls.length(static_cast<CORBA::ULong>(plan.walls.size()));
  for (CORBA::ULong i = 0; i < plan.walls.size(); ++i)
    reply->walls[i] = {pointOf(plan.walls[i].from), pointOf(plan.walls[i].to)};
  reply->start = {plan.start.x_m, plan.start.y_m};
  reply->start_heading_rad = plan.start.heading_rad;
  setOptional(reply->arrival, plan.arrival);
  setOptional(reply->finish, plan.finish);
  reply->footprint_radius_m = world->footprintRadius_m();
  return reply._retn();
}
