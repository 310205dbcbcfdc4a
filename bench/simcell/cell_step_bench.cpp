// How much wall time one 5 ms control step of the simulated cell costs: it bounds the
// highest --time-scale at which the simulation keeps up with the clock.

#include <benchmark/benchmark.h>

#include <memory>

#include "hiro_arm_model_kinematics.h"
#include "hiro_cell.h"
#include "scene.h"

namespace {

using hirosim::HiroCell;

std::unique_ptr<HiroCell> defaultCell() {
  const hirosim::SceneParseResult loaded = hirosim::loadSceneFile(DEFAULT_SCENE_FILE);
  return std::make_unique<HiroCell>(*loaded.scene,
                                    std::make_shared<hirosim::HiroArmModelKinematics>(),
                                    hirosim::JointVector{}, nullptr, nullptr);
}

// Both arms and the chest moving along a long trajectory.
void BM_ControlStepWhileMoving(benchmark::State& state) {
  auto cell = defaultCell();
  std::vector<double> point(HiroCell::kTrajectoryPointSize, 0.0);
  point[0] = 30.0;
  point[5] = -90.0;
  point[11] = -90.0;
  cell->startTrajectory({point}, {1e6});
  for (auto _ : state) cell->step(1);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ControlStepWhileMoving);

void BM_ControlStepIdle(benchmark::State& state) {
  auto cell = defaultCell();
  for (auto _ : state) cell->step(1);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ControlStepIdle);

void BM_SolveArmTarget(benchmark::State& state) {
  hirosim::HiroArmModelKinematics model;
  const geometry::Pose6 target{0.35, 0.1, 0.19, 0.0, -M_PI / 2, 0.0};
  for (auto _ : state) {
    benchmark::DoNotOptimize(model.solve(hirosim::Side::Left, target, 0.0, {}));
  }
}
BENCHMARK(BM_SolveArmTarget);

}  // namespace

BENCHMARK_MAIN();
