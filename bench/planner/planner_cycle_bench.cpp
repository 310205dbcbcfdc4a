// One planner cycle's computation, stage by stage and as a whole, without pacing, waiting or
// ports; and the memory-traffic floor of touching the grid and the published image once.
//
// The stages print console lines as they do in the component; those go to /dev/null here and
// the benchmark's own report goes to standard error.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include <planner/collision.h>
#include <planner/image_data.h>
#include <planner/map_grid_build.h>
#include <planner/planning_image.h>
#include <planner/prediction.h>
#include <planner/route.h>
#include <planner/subgoal.h>

#include "fake_planner_ports.h"

namespace planner {
namespace {

// A corridor map: walls 1 m to each side and 3 m ahead, a band of unknown cells, noise.
std::vector<float> corridorMap() {
  std::vector<float> cells(kGridCells * kGridCells, 0.0f);
  std::mt19937 random(7);
  std::uniform_real_distribution<float> noise(0.0f, 0.15f);
  for (int mapRow = 0; mapRow < kGridCells; ++mapRow) {
    for (int mapColumn = 0; mapColumn < kGridCells; ++mapColumn) {
      float& cell = cells[mapRow * kGridCells + mapColumn];
      cell = noise(random);
      if (mapRow == 80 || mapRow == 120 || mapColumn == 140) cell = 1.0f;
      if (mapRow > 160) cell = 0.5f;
    }
  }
  return cells;
}

struct CycleData {
  std::vector<float> cells = corridorMap();
  MapReplyView map{kGridCells, kGridCells, cells.data(), cells.size()};
  cv::Mat mapImage = makeMapImage();
  cv::Mat planningImage = makePlanningImage();
  LocalGrid grid;
  PathBook path;
  PlannerFrame frame;
  MeasuredMotion motion;
  RouteThresholds thresholds;
  fakes::FakePlannerPorts ports;
  Route route{thresholds};
  Orvn::TimedImageData imageData;

  CycleData() {
    path.reset(PlannerPose{});
    path.executing().v_mmps = 300.0f;
    path.executing().r_mm = 3000.0f;
    motion.takePose(OdometryPose{-1.2, 0.1, 0.05});
    motion.takeVelocity(OdometryVelocity{0.3, -0.1});
    route.reset(300.0f);
    ports.inbox.push_back(kRobotStart);
    rebuildLocalGrid(map, mapImage, grid);
    route.step(grid, path, ports);
    toImageData(planningImage, imageData);
  }
};

void GridRebuild(benchmark::State& state) {
  CycleData d;
  for (auto _ : state) {
    benchmark::DoNotOptimize(rebuildLocalGrid(d.map, d.mapImage, d.grid));
    benchmark::ClobberMemory();
  }
}

void Prediction(benchmark::State& state) {
  CycleData d;
  for (auto _ : state) benchmark::DoNotOptimize(predictPose(d.path, d.frame, d.motion, 0.5));
}

void RouteStep(benchmark::State& state) {
  CycleData d;
  for (auto _ : state) benchmark::DoNotOptimize(d.route.step(d.grid, d.path, d.ports));
}

void GoalArea(benchmark::State& state) {
  CycleData d;
  for (auto _ : state) benchmark::DoNotOptimize(markGoalArea(d.grid, d.path.current().pose));
}

void CollisionCheck(benchmark::State& state) {
  CycleData d;
  predictPose(d.path, d.frame, d.motion, 0.5);
  for (auto _ : state) benchmark::DoNotOptimize(isPredictedPoseBlocked(d.grid, d.path));
}

void SubgoalScan(benchmark::State& state) {
  CycleData d;
  predictPose(d.path, d.frame, d.motion, 0.5);
  isPredictedPoseBlocked(d.grid, d.path);
  markPredictedCell(d.grid, d.path);
  for (auto _ : state) benchmark::DoNotOptimize(selectSubgoal(d.grid, d.path.current().pose));
}

void Drawing(benchmark::State& state) {
  CycleData d;
  for (auto _ : state) {
    drawGrid(d.grid, d.planningImage);
    drawGoalAndRobot(d.planningImage, GridCell{100, 76});
    benchmark::ClobberMemory();
  }
}

void ImageConversion(benchmark::State& state) {
  CycleData d;
  for (auto _ : state) {
    toImageData(d.planningImage, d.imageData);
    d.planningImage.setTo(cv::Scalar::all(0));
    benchmark::ClobberMemory();
  }
}

void WholeCycle(benchmark::State& state) {
  CycleData d;
  for (auto _ : state) {
    rebuildLocalGrid(d.map, d.mapImage, d.grid);
    const RobotState robot = predictPose(d.path, d.frame, d.motion, 0.5);
    d.route.step(d.grid, d.path, d.ports);
    const GridCell goal = markGoalArea(d.grid, d.path.current().pose);
    if (!isPredictedPoseBlocked(d.grid, d.path)) markPredictedCell(d.grid, d.path);
    benchmark::DoNotOptimize(selectSubgoal(d.grid, d.path.current().pose));
    drawGrid(d.grid, d.planningImage);
    drawGoalAndRobot(d.planningImage, goal);
    toImageData(d.planningImage, d.imageData);
    d.planningImage.setTo(cv::Scalar::all(0));
    benchmark::DoNotOptimize(robot);
    benchmark::ClobberMemory();
  }
}

// The least a cycle can cost in memory traffic: read 40,000 map values' worth of grid cells
// once and write 480,000 image bytes once.
void MemoryFloor(benchmark::State& state) {
  std::vector<unsigned char> grid(kGridCells * kGridCells, 1);
  std::vector<char> image(480000);
  for (auto _ : state) {
    unsigned sum = 0;
    for (unsigned char cell : grid) sum += cell;
    std::memset(image.data(), static_cast<int>(sum & 0x7F), image.size());
    benchmark::DoNotOptimize(image.data());
    benchmark::ClobberMemory();
  }
}

BENCHMARK(GridRebuild)->Unit(benchmark::kMicrosecond);
BENCHMARK(Prediction)->Unit(benchmark::kMicrosecond);
BENCHMARK(RouteStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(GoalArea)->Unit(benchmark::kMicrosecond);
BENCHMARK(CollisionCheck)->Unit(benchmark::kMicrosecond);
BENCHMARK(SubgoalScan)->Unit(benchmark::kMicrosecond);
BENCHMARK(Drawing)->Unit(benchmark::kMicrosecond);
BENCHMARK(ImageConversion)->Unit(benchmark::kMicrosecond);
BENCHMARK(WholeCycle)->Unit(benchmark::kMicrosecond);
BENCHMARK(MemoryFloor)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace planner

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // Console lines of the stages are not part of the computation measured.
  if (!std::freopen("/dev/null", "w", stdout)) return 1;
  benchmark::ConsoleReporter reporter;
  reporter.SetOutputStream(&std::cerr);
  reporter.SetErrorStream(&std::cerr);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
