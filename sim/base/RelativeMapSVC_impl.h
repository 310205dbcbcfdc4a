#pragma once
// The map service of the simulated base: what its range sensor sees, 200 x 200 cells of
// 50 mm centred on the base (orientation in relative_map.h). Before the base is running the
// map is all unknown.

#include <Zemla.hh>
#include <atomic>

#include "world_slot.h"

class RelativeMapSVC_impl : public virtual POA_Zemla::RelativeMapService,
                            public virtual PortableServer::RefCountServantBase {
 public:
  // `requests` counts the float map requests (the planner's cycle).
  RelativeMapSVC_impl(const basesim::WorldSlot& world, std::atomic<unsigned>& requests)
      : world_(world), requests_(requests) {}

  RTC::OGMapConfig getRelativeOGMapConfig() override;
  // Octet cells: the float values scaled to 0 ... 255 (free 0, unknown 128, occupied 255).
  Zemla::TimedRelativeOGMapData* getRelativeOGMap() override;
  Zemla::TimedFloatRelativeOGMapData* getFloatRelativeOGMap() override;

 private:
  const basesim::WorldSlot& world_;
  std::atomic<unsigned>& requests_;
};
