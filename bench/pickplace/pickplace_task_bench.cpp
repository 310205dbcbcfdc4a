// Planning and conversion of whole tasks against an in-process IK stand-in: everything the
// worker computes before its single controller call.
#include <benchmark/benchmark.h>

#include <ostream>

#include "cell_config.h"
#include "fake_cell_links.h"
#include "object_task.h"
#include "tray_task.h"

namespace {

using namespace pickplace;

struct Bench {
  Bench() {
    slots.initialize(config.xPalletPlacedB_m, config.zPalletPlacedB_m);
    links.estimate.result = 0;
    links.estimate.classId = 0;
    links.estimate.size_m = {0.0, 0.03, 0.04};
    links.estimate.pose = HandPose{0.35, 0.1, 0.03, 0.0, 0.0, 0.3};
  }

  TaskContext context() {
    return TaskContext{config, true, slots, grasp, lastPose, links, console};
  }

  // Keeps the stand-in's records from growing over the iterations.
  void reset() {
    slots.clear();
    links.reachQueries.clear();
    links.solveQueries.clear();
    links.trajectories.clear();
  }

  CellConfig config = defaultCellConfig();
  PlacingSlots slots;
  FingerAngles grasp{};
  JointAngles lastPose;
  fakes::FakeCellLinks links;
  // Formats every console line as the component does, and drops it.
  std::ostream discard{nullptr};
  Console console{discard, discard};
};

void objectTask(benchmark::State& state) {
  Bench bench;
  for (auto _ : state) {
    bench.reset();
    TaskContext task = bench.context();
    benchmark::DoNotOptimize(processObj(task));
  }
  if (bench.links.trajectories.size() != 1 || bench.links.trajectories[0].points_deg.size() != 15) {
    state.SkipWithError("the object task did not produce its 15-point trajectory");
  }
}
BENCHMARK(objectTask)->Unit(benchmark::kMicrosecond);

void trayTask(benchmark::State& state) {
  Bench bench;
  for (auto _ : state) {
    bench.reset();
    TaskContext task = bench.context();
    benchmark::DoNotOptimize(processTray(task));
  }
  if (bench.links.trajectories.size() != 1 || bench.links.trajectories[0].points_deg.size() != 16) {
    state.SkipWithError("the tray task did not produce its 16-point trajectory");
  }
}
BENCHMARK(trayTask)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
