// RunPictures: the pictures of a run. Writes cell-before.png at once, follows the simulated
// base's true pose at a bounded rate until SIGINT or SIGTERM, then writes route.png (the
// building with the whole path driven) and cell-after.png. Drawn by the same code as the
// dashboard's views. Exits 0 when all three pictures are written, 1 otherwise.
//
//   RunPictures -n HOST:PORT --dir DIR [--base NAME] [--cell NAME] [--rate HZ] [--wait S]
#include <omniORB4/CORBA.h>
#include <signal.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>

#include "building_view.h"
#include "cell_view.h"
#include "picture_file.h"
#include "run_pictures_options.h"
#include "scene_sources.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace scene_views;

constexpr double kRetryInterval_s = 0.5;

Clock::duration seconds(double s) {
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
}

// Waits until `deadline` or a stop signal, whichever comes first; true on the signal.
bool stopSignalBefore(const sigset_t& stopSignals, Clock::time_point deadline) {
  for (;;) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return false;
    const auto left_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    timespec timeout{static_cast<time_t>(left_ns / 1000000000),
                     static_cast<long>(left_ns % 1000000000)};
    if (sigtimedwait(&stopSignals, nullptr, &timeout) > 0) return true;
    if (errno != EINTR) return false;
  }
}

class RunPictures {
 public:
  RunPictures(CORBA::ORB_ptr orb, const run_pictures::Options& options, const sigset_t& stop)
      : options_(options),
        stopSignals_(stop),
        cell_(orb, options.nameServer, options.cell),
        base_(orb, options.nameServer, options.base) {}

  int run() {
    bool allWritten = writeCell("cell-before.png", options_.startWait_s);
    followBase();
    allWritten = writeCell("cell-after.png", 0.0) && allWritten;
    allWritten = writeRoute() && allWritten;
    return allWritten ? 0 : 1;
  }

 private:
  ViewSize size() const { return {options_.width_px, options_.height_px}; }

  bool write(const cv::Mat& picture, const char* name) {
    const std::string path = options_.dir + "/" + name;
    const std::string problem = run_pictures::writePng(picture, path);
    if (!problem.empty()) {
      std::fprintf(stderr, "RunPictures: %s\n", problem.c_str());
      return false;
    }
    std::printf("RunPictures: wrote %s\n", path.c_str());
    std::fflush(stdout);
    return true;
  }

  // At the start the simulator may still be coming up: tried for up to `wait_s`.
  bool writeCell(const char* name, double wait_s) {
    const Clock::time_point giveUp = Clock::now() + seconds(wait_s);
    SourceReading<CellSnapshot> cell = cell_.read();
    while (!cell.value && Clock::now() < giveUp &&
           !stopSignalBefore(stopSignals_, Clock::now() + seconds(kRetryInterval_s))) {
      cell = cell_.read();
    }
    if (!cell.value) {
      std::fprintf(stderr, "RunPictures: no %s: %s\n", name, cell.error.c_str());
      return false;
    }
    return write(drawCellTop(*cell.value, size()), name);
  }

  // One sample; a problem is said once, and again only when it changes.
  void sampleBase() {
    const bool poseWasKnown = base_.poseKnown();
    const std::string problem = base_.sample();
    if (!poseWasKnown && base_.poseKnown()) {
      std::printf("RunPictures: following %s at %.1f Hz\n", options_.base.c_str(),
                  options_.sampleRate_hz);
      std::fflush(stdout);
    }
    if (problem == lastBaseProblem_) return;
    lastBaseProblem_ = problem;
    if (!problem.empty()) std::fprintf(stderr, "RunPictures: %s\n", problem.c_str());
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
    if (!base_.buildingKnown() && !base_.poseKnown()) {
      std::fprintf(stderr, "RunPictures: no route.png: nothing was heard from %s\n",
                   options_.base.c_str());
      return false;
    }
    if (!base_.buildingKnown()) {
      std::fprintf(stderr, "RunPictures: %s never told its floor plan: route.png has no walls\n",
                   options_.base.c_str());
    }
    if (!write(drawBuildingTop(base_.snapshot(), size()), "route.png")) return false;
    std::printf("RunPictures: %.2f m driven, %zu points\n", base_.trail().length_m(),
                base_.trail().points().size());
    return base_.buildingKnown();
  }

  const run_pictures::Options& options_;
  const sigset_t& stopSignals_;
  CellReader cell_;
  BaseFollower base_;
  std::string lastBaseProblem_;
};

}  // namespace

int main(int argc, char** argv) {
  run_pictures::Options options;
  if (const auto status = run_pictures::parseOptions(argc, argv, options)) return *status;
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
