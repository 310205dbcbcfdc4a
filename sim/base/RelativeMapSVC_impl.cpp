#include "RelativeMapSVC_impl.h"

#include <chrono>
#include <cmath>

namespace {

constexpr double kFullOctet = 255.0;

RTC::Time timeNow() {
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
  RTC::Time time;
  time.sec = static_cast<CORBA::ULong>(seconds.count());
  time.nsec = static_cast<CORBA::ULong>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count());
  return time;
}

// The sensed cells and the base's odometry pose, or an all-unknown map before the start.
std::vector<float> currentCells(const basesim::WorldSlot& slot, RTC::Pose2D& pose) {
  pose.position.x = pose.position.y = pose.heading = 0.0;
  const auto world = slot.get();
  if (!world)
    return std::vector<float>(basesim::kMapCells * basesim::kMapCells, basesim::kCellUnknown);
  const basesim::Odometry odometry = world->odometry();
  pose.position.x = odometry.pose.x_m;
  pose.position.y = odometry.pose.y_m;
  pose.heading = odometry.pose.heading_rad;
  return world->senseMap();
}

}  // namespace

RTC::OGMapConfig RelativeMapSVC_impl::getRelativeOGMapConfig() {
  RTC::OGMapConfig config;
  config.xScale = basesim::kMapCellSize_m;
  config.yScale = basesim::kMapCellSize_m;
  config.width = basesim::kMapCells;
  config.height = basesim::kMapCells;
  // Centre of cell (0, 0) in the base's frame (x ahead, y left); the base is in cell (99, 99).
  const double firstCellCentre_m = -(basesim::kMapCells / 2 - 1) * basesim::kMapCellSize_m;
  config.origin.position.x = firstCellCentre_m;
  config.origin.position.y = firstCellCentre_m;
  config.origin.heading = 0.0;
  return config;
}

Zemla::TimedRelativeOGMapData* RelativeMapSVC_impl::getRelativeOGMap() {
  Zemla::TimedRelativeOGMapData_var reply = new Zemla::TimedRelativeOGMapData;
  reply->tm = timeNow();
  reply->mapconfig = getRelativeOGMapConfig();
  const std::vector<float> cells = currentCells(world_, reply->pose);
  reply->cells.length(static_cast<CORBA::ULong>(cells.size()));
  for (CORBA::ULong i = 0; i < cells.size(); ++i) {
    reply->cells[i] = static_cast<CORBA::Octet>(std::lround(cells[i] * kFullOctet));
  }
  return reply._retn();
}

Zemla::TimedFloatRelativeOGMapData* RelativeMapSVC_impl::getFloatRelativeOGMap() {
  Zemla::TimedFloatRelativeOGMapData_var reply = new Zemla::TimedFloatRelativeOGMapData;
  reply->tm = timeNow();
  reply->mapconfig = getRelativeOGMapConfig();
  const std::vector<float> cells = currentCells(world_, reply->pose);
  reply->cells.length(static_cast<CORBA::ULong>(cells.size()));
  for (CORBA::ULong i = 0; i < cells.size(); ++i) reply->cells[i] = cells[i];
  requests_.fetch_add(1);
  return reply._retn();
}
