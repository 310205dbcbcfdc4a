// Planning and conversion of whole tasks against an in-process IK stand-in: everything the
// worker computes before its single controller call.
#include <benchmark/benchmark.h>

#include <ostream>

#include "fake_task_world.h"
#include "object_task.h"
#include "tray_task.h"

namespace {

using namespace pickplace;

struct Bench {
  Bench() {
    world.links.estimate.result = 0;
    world.links.estimate.classId = 0;
    world.links.estimate.size_m = {0.0, 0.03, 0.04};
    world.links.estimate.pose = HandPose{0.35, 0.1, 0.03, 0.0, 0.0, 0.3};
  }

  // Keeps the stand-in's records from growing over the iterations.
  void reset() {
    world.slots.clear();
    world.links.reachQueries.clear();
    world.links.solveQueries.clear();
    world.links.trajectories.clear();
  }

  // Formats every console line as the component does, and drops it.
  std::ostream discard{nullptr};
  fakes::FakeTaskWorld world{discard, discard};
};

void objectTask(benchmark::State& state) {
  Bench bench;
  for (auto _ : state) {
    bench.reset();
    TaskContext task = bench.world.context();
    benchmark::DoNotOptimize(processObj(task));
  }
  if (bench.world.links.trajectories.size() != 1 ||
      bench.world.links.trajectories[0].points_deg.size() != 15) {
    state.SkipWithError("the object task did not produce its 15-point trajectory");
  }
}
BENCHMARK(objectTask)->Unit(benchmark::kMicrosecond);

void trayTask(benchmark::State& state) {
  Bench bench;
  for (auto _ : state) {
    bench.reset();
    TaskContext task = bench.world.context();
    benchmark::DoNotOptimize(processTray(task));
  }
  if (bench.world.links.trajectories.size() != 1 ||
      bench.world.links.trajectories[0].points_deg.size() != 16) {
    state.SkipWithError("the tray task did not produce its 16-point trajectory");
  }
}
BENCHMARK(trayTask)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
