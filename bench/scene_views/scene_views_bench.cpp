// What drawing the views costs: the building with a long path, the cell from above and from the
// side, at the size RunPictures writes and the dashboard serves.
//
//   build/bin/scene_views_bench
#include <benchmark/benchmark.h>

#include <cmath>

#include "building_view.h"
#include "cell_view.h"
#include "path_trail.h"

namespace {

using namespace scene_views;

const ViewSize kSize{800, 600};

BuildingSnapshot building(int pathPoints) {
  BuildingSnapshot snapshot;
  snapshot.walls = {{{-0.8, 0.8}, {5.0, 0.8}},   {{5.0, 0.8}, {5.0, -4.0}},
                    {{5.0, -4.0}, {3.0, -4.0}},  {{3.0, -4.0}, {3.0, -1.0}},
                    {{3.0, -1.0}, {-0.8, -1.0}}, {{-0.8, -1.0}, {-0.8, 0.8}}};
  PathTrail trail;
  for (int i = 0; i < pathPoints; ++i) {
    const double t = i / static_cast<double>(pathPoints);
    trail.add({4.0 * t, -3.0 * t * t + 0.5 * std::sin(1000.0 * t)});
  }
  snapshot.pathDriven = trail.points();
  snapshot.base = FloorPose{4.0, -3.0, -M_PI / 2.0};
  snapshot.footprintRadius_m = 0.15;
  snapshot.start = FloorPoint{0.0, 0.0};
  snapshot.arrival = FloorPoint{4.7, -3.4};
  snapshot.finish = FloorPoint{0.0, 0.0};
  snapshot.time_s = 123.4;
  return snapshot;
}

CellSnapshot cell() {
  CellSnapshot snapshot;
  snapshot.table = CellTable{32.0, 160.0, 540.0, -290.0, 290.0};
  CellTray tray;
  tray.pose = TrayPose{-81.6, 462.9, 15.0, 100.0 * M_PI / 180.0};
  tray.length_mm = 200.0;
  tray.width_mm = 300.0;
  tray.thickness_mm = 10.0;
  snapshot.tray = tray;
  snapshot.slots = {{0, 0, 40, 39.75}, {0, 1, -40, 39.75}, {1, 0, 40, -39.75}, {1, 1, -40, -39.75}};
  snapshot.objects = {{0, 0, ObjectSupport::Table, 350, 100, 32, 0, 30, 30, 60},
                      {1, 1, ObjectSupport::Table, 350, -100, 32, 0, 50, 50, 60}};
  snapshot.rightHand = CellHand{300, -250, 200, 0, 1, 0, 100};
  snapshot.leftHand = CellHand{300, 250, 200, 0, 1, 0, 100};
  snapshot.putDown = TrayPose{470, 0, 32, 0};
  snapshot.time_s = 12.0;
  return snapshot;
}

void drawBuilding(benchmark::State& state) {
  const BuildingSnapshot snapshot = building(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(drawBuildingTop(snapshot, kSize));
  state.counters["path_points"] = static_cast<double>(snapshot.pathDriven.size());
}
BENCHMARK(drawBuilding)->Arg(100)->Arg(4000)->Arg(100000)->Unit(benchmark::kMillisecond);

void drawCellFromAbove(benchmark::State& state) {
  const CellSnapshot snapshot = cell();
  for (auto _ : state) benchmark::DoNotOptimize(drawCellTop(snapshot, kSize));
}
BENCHMARK(drawCellFromAbove)->Unit(benchmark::kMillisecond);

void drawCellFromTheSide(benchmark::State& state) {
  const CellSnapshot snapshot = cell();
  for (auto _ : state) benchmark::DoNotOptimize(drawCellSide(snapshot, kSize));
}
BENCHMARK(drawCellFromTheSide)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
