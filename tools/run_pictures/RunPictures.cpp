// RunPictures: the pictures of a run. Writes cell-before.png at once, follows the simulated
// base's true pose at a bounded rate until SIGINT or SIGTERM, then writes route.png (the
// building with the whole path driven) and cell-after.png. Drawn by the same code as the
// dashboard's views. Exits 0 when all three pictures are written, 1 otherwise.
//
//   RunPictures -n HOST:PORT --dir DIR [--base NAME] [--cell NAME] [--rate HZ] [--wait S]
#include <omniORB4/CORBA.h>
#include <signal.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "building_view.h"
#include "cell_view.h"
#include "path_trail.h"
#include "picture_file.h"
#include "run_pictures_options.h"
#include "scene_sources.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace scene_views;

constexpr double kRetryInterval_s = 0.5;

// Waits until `deadline` or a stop signal, whichever comes first; true on the signal.
bool stopSignalBefore(const sigset_t& stopSignals, Clock::time_point deadline) {
  for (;;) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return false;
    const auto left_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    timespec timeout{static_cast<time_t>(left_ns / 1000000000),
                     static_cast<long>(left_ns % 1000000000)};
    const int signal = sigtimedwait(&stopSignals, nullptr, &timeout);
    if (signal > 0) return true;
    if (errno != EINTR) return false;
  }
}

Clock::duration seconds(double s) {
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
}

double pathLength_m(const std::vector<FloorPoint>& points) {
  double length = 0.0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    length += std::hypot(points[i].x_m - points[i - 1].x_m, points[i].y_m - points[i - 1].y_m);
  }
  return length;
}

class RunPictures {
 public:
  RunPictures(CORBA::ORB_ptr orb, const run_pictures::Options& options, const sigset_t& stop)
      : orb_(orb), options_(options), stopSignals_(stop) {}

  int run() {
    bool allWritten = writeCell("cell-before.png", true);
    followBase();
    allWritten = writeCell("cell-after.png", false) && allWritten;
    allWritten = writeRoute() && allWritten;
    return allWritten ? 0 : 1;
  }

 private:
  std::string path(const char* name) const { return options_.dir + "/" + name; }
  ViewSize size() const { return {options_.width_px, options_.height_px}; }

  // Says a problem once, and again only when it changes.
  void report(std::string& last, const std::string& problem) {
    if (problem == last) return;
    last = problem;
    if (!problem.empty()) std::fprintf(stderr, "RunPictures: %s\n", problem.c_str());
  }

  std::optional<CellSnapshot> readCellNow(std::string& error) {
    if (CORBA::is_nil(cell_)) {
      auto found = findCellState(orb_, options_.nameServer, options_.cell);
      if (!found.value) {
        error = found.error;
        return std::nullopt;
      }
      cell_ = *found.value;
    }
    auto reading = readCell(cell_);
    if (!reading.value) {
      error = options_.cell + ": " + reading.error;
      cell_ = HiroSim::CellState::_nil();
    }
    return reading.value;
  }

  // At the start the simulator may still be coming up: tried until --wait has passed.
  bool writeCell(const char* name, bool waitForIt) {
    const Clock::time_point giveUp = Clock::now() + seconds(waitForIt ? options_.startWait_s : 0);
    std::string error;
    std::optional<CellSnapshot> cell = readCellNow(error);
    while (!cell && Clock::now() < giveUp &&
           !stopSignalBefore(stopSignals_, Clock::now() + seconds(kRetryInterval_s))) {
      cell = readCellNow(error);
    }
    if (!cell) {
      std::fprintf(stderr, "RunPictures: no %s: %s\n", name, error.c_str());
      return false;
    }
    return write(drawCellTop(*cell, size()), name);
  }

  bool write(const cv::Mat& picture, const char* name) {
    const std::string problem = run_pictures::writePng(picture, path(name));
    if (!problem.empty()) {
      std::fprintf(stderr, "RunPictures: %s\n", problem.c_str());
      return false;
    }
    std::printf("RunPictures: wrote %s\n", path(name).c_str());
    std::fflush(stdout);
    return true;
  }

  // One sample: the building once it is loaded, and the pose now.
  void sampleBase() {
    std::string problem;
    if (CORBA::is_nil(base_)) {
      if (Clock::now() < nextBaseLookup_) return;
      nextBaseLookup_ = Clock::now() + seconds(kRetryInterval_s);
      auto found = findBaseStatus(orb_, options_.nameServer, options_.base);
      if (!found.value) return report(lastBaseProblem_, found.error);
      base_ = *found.value;
    }
    if (!building_) {
      auto building = readBuilding(base_);
      if (building.value) {
        building_ = std::move(building.value);
      } else {
        problem = options_.base + ": " + building.error;
      }
    }
    auto now = readBaseNow(base_);
    if (!now.value) {
      base_ = SimBase::BaseStatusService::_nil();
      return report(lastBaseProblem_, options_.base + ": " + now.error);
    }
    if (!lastPose_) {
      std::printf("RunPictures: following %s at %.1f Hz\n", options_.base.c_str(),
                  options_.sampleRate_hz);
      std::fflush(stdout);
    }
    lastPose_ = now.value->pose;
    lastTime_s_ = now.value->time_s;
    trail_.add({now.value->pose.x_m, now.value->pose.y_m});
    report(lastBaseProblem_, problem);
  }

  void followBase() {
    const Clock::duration period = seconds(1.0 / options_.sampleRate_hz);
    Clock::time_point next = Clock::now();
    do {
      sampleBase();
      next += period;
      // Behind (a slow call): the next sample comes one period from now, not in a burst.
      if (next < Clock::now()) next = Clock::now() + period;
    } while (!stopSignalBefore(stopSignals_, next));
    sampleBase();  // where the base stands at the end
  }

  bool writeRoute() {
    if (!building_ && !lastPose_) {
      std::fprintf(stderr, "RunPictures: no route.png: nothing was heard from %s\n",
                   options_.base.c_str());
      return false;
    }
    BuildingSnapshot route = building_.value_or(BuildingSnapshot{});
    route.pathDriven = trail_.points();
    route.base = lastPose_;
    route.time_s = lastTime_s_;
    if (!building_) {
      std::fprintf(stderr, "RunPictures: %s never told its floor plan: route.png has no walls\n",
                   options_.base.c_str());
    }
    const bool written = write(drawBuildingTop(route, size()), "route.png");
    if (written) {
      std::printf("RunPictures: %.2f m driven, %zu points\n", pathLength_m(route.pathDriven),
                  route.pathDriven.size());
    }
    return written && building_.has_value();
  }

  CORBA::ORB_ptr orb_;
  const run_pictures::Options& options_;
  const sigset_t& stopSignals_;
  HiroSim::CellState_var cell_;
  SimBase::BaseStatusService_var base_;
  Clock::time_point nextBaseLookup_ = Clock::now();
  std::optional<BuildingSnapshot> building_;
  std::optional<FloorPose> lastPose_;
  std::optional<double> lastTime_s_;
  PathTrail trail_;
  std::string lastBaseProblem_;
};

}  // namespace

int main(int argc, char** argv) {
  run_pictures::Options options;
  if (const auto status = run_pictures::parseOptions(argc, argv, options)) {
    return *status;
  }
  // Blocked before the ORB starts its threads, so that only sigtimedwait takes them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  int orbArgc = 0;
  CORBA::ORB_var orb = CORBA::ORB_init(orbArgc, nullptr);
  int status = 1;
  {
    RunPictures pictures(orb, options, stopSignals);
    status = pictures.run();
  }
  orb->destroy();
  return status;
}
