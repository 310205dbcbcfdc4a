// What the simulated base costs per planner cycle: the sensed map (one per map request) and
// the integration of one 0.5 s period.
#include <benchmark/benchmark.h>

#include "base_world.h"
#include "drive_base.h"
#include "relative_map.h"

namespace {

const basesim::FloorPlan& defaultBuilding() {
  static const basesim::FloorPlan plan = basesim::loadFloorPlan(DEFAULT_BUILDING_FILE).plan;
  return plan;
}

void senseMapInDefaultBuilding(benchmark::State& state) {
  const basesim::WorldPose atStationApproach{4.5, -2.0, -1.5};
  for (auto _ : state) {
    auto cells = basesim::senseRelativeMap(defaultBuilding().walls, atStationApproach,
                                           basesim::RangeSensorParams{});
    benchmark::DoNotOptimize(cells.data());
  }
}
BENCHMARK(senseMapInDefaultBuilding)->Unit(benchmark::kMillisecond);

void integrateOnePlannerPeriod(benchmark::State& state) {
  basesim::DriveBase base(basesim::DriveBaseParams{}, defaultBuilding().walls,
                          defaultBuilding().start, 0.0);
  double now_s = 0.0;
  for (auto _ : state) {
    // Back and forth along the hall, so the base never reaches a wall.
    const double direction = (static_cast<long>(now_s) / 4) % 2 == 0 ? 1.0 : -1.0;
    base.command({0.3 * direction, 0.05}, now_s);
    now_s += 0.5;
    benchmark::DoNotOptimize(base.advanceTo(now_s));
  }
}
BENCHMARK(integrateOnePlannerPeriod)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
