// How fast the demo's system answers the faults of the fault test: the same systems, the same
// kills at the same moments, timed. For each signal (SIGKILL, SIGTERM) three systems are
// brought up, as in tests/faults:
//   1. the base driving: PlanViewer ended, then TorvaneComp; then PalkettComp in an object's
//      trajectory;
//   2. the base driving: BaseSimComp ended; then HiroSimComp in an object's trajectory;
//   3. BriskoComp ended while the coordinator waits for its first reach answer; then omniNames.
// and at the end every program still running is ended with SIGTERM, in the reverse order of
// the file. It prints one line per measurement, and then the worst of each kind against its
// goal:
//   word   from the death to the task's word at a reader of Palkett0:output (goal 2 s)
//   rest   from the planner's death to the base's true velocity at zero (goal 1 s)
//   exit   from SIGTERM to the end of the process (goal 0.5 s)
//   done   a task that the death did not cut short, timed to its "..._FINISHED" (no goal)
// Polls every 2 ms.
//
//   build/bin/fault_timing [RUNS]      (default 1 round of the six systems; ~1 min a system)
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "demo_system.h"

using namespace faults;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(2);
const test_support::Seconds kGiveUp{30};
const std::map<std::string, double> kGoals_s = {{"word", 2.0}, {"rest", 1.0}, {"exit", 0.5}};

struct Measurement {
  std::string kind;  // "word", "rest", "exit"
  std::string what;
  double seconds;  // negative: it did not happen within kGiveUp
};

class Timing {
 public:
  void add(const std::string& kind, const std::string& what, double seconds) {
    measurements_.push_back({kind, what, seconds});
    if (seconds < 0) {
      std::printf("%-5s %-52s did not happen within %.0f s\n", kind.c_str(), what.c_str(),
                  kGiveUp.count());
    } else {
      std::printf("%-5s %-52s %7.3f s\n", kind.c_str(), what.c_str(), seconds);
    }
    std::fflush(stdout);
  }

  void problem(const std::string& text) {
    ++problems_;
    std::printf("problem: %s\n", text.c_str());
    std::fflush(stdout);
  }

  // The worst of each kind against its goal; false when one missed it or a run went wrong.
  bool summarize() const {
    bool met = problems_ == 0;
    for (const auto& [kind, goal_s] : kGoals_s) {
      std::vector<std::pair<double, std::string>> times;
      for (const Measurement& m : measurements_) {
        if (m.kind == kind) times.push_back({m.seconds < 0 ? kGiveUp.count() : m.seconds, m.what});
      }
      if (times.empty()) continue;
      std::sort(times.begin(), times.end());
      const auto& [worst, worstWhat] = times.back();
      const bool ok = worst <= goal_s;
      met = met && ok;
      std::printf("%-5s %2zu: median %.3f s, worst %.3f s (%s), goal %.1f s: %s\n", kind.c_str(),
                  times.size(), times[times.size() / 2].first, worst, worstWhat.c_str(), goal_s,
                  ok ? "met" : "MISSED");
    }
    return met;
  }

 private:
  std::vector<Measurement> measurements_;
  int problems_ = 0;
};

double since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

const char* signalName(int signal) { return signal == SIGKILL ? "SIGKILL" : "SIGTERM"; }

// What a death is timed by: the process's end on SIGTERM, the task's word, the base at rest.
enum Watch : unsigned { kExit = 1, kWord = 2, kRest = 4 };

// Sends the signal to a program (or omniNames with an empty label) and polls what `watches`
// names together, each timed from the signal to the first poll that sees it.
void endTimed(DemoSystem& system, const std::string& label, int signal, unsigned watches,
              const std::string& moment, Timing& timing) {
  const bool names = label.empty();
  const std::string who = names ? "omniNames" : label;
  const auto running = [&] {
    return names ? system.names().isRunning() : system.program(label).isRunning();
  };
  const auto atRest = [&] {
    const auto status = system.baseStatus();
    return status && status->vx_mps == 0.0 && status->va_radps == 0.0;
  };
  if (signal != SIGTERM) watches &= ~unsigned{kExit};
  std::map<unsigned, double> seconds;
  const auto start = Clock::now();
  names ? system.names().sendSignal(signal) : system.program(label).sendSignal(signal);
  // A program held still with SIGSTOP takes the signal once it goes on.
  if (!names) system.program(label).sendSignal(SIGCONT);
  std::size_t wanted = 0;
  for (unsigned watch : {kExit, kWord, kRest}) wanted += (watches & watch) ? 1 : 0;
  while (seconds.size() < wanted && since(start) < kGiveUp.count()) {
    const double now = since(start);
    if ((watches & kExit) && !seconds.count(kExit) && !running()) seconds[kExit] = now;
    if ((watches & kWord) && !seconds.count(kWord) && !system.answer().empty()) {
      seconds[kWord] = now;
    }
    if ((watches & kRest) && !seconds.count(kRest) && atRest()) seconds[kRest] = now;
    std::this_thread::sleep_for(kPollInterval);
  }
  const auto result = [&seconds](unsigned watch) {
    return seconds.count(watch) ? seconds[watch] : -1.0;
  };
  const std::string death = std::string(signalName(signal)) + " of " + who;
  if (watches & kExit) timing.add("exit", who + " " + moment, result(kExit));
  if (watches & kWord) {
    // A task that no longer needed the program finishes in its own time: not a reaction to
    // the death, so not held against the goal.
    const std::string word = system.answer();
    const bool finished = word.size() > 9 && word.compare(word.size() - 9, 9, "_FINISHED") == 0;
    timing.add(finished ? "done" : "word", death + " -> " + word, result(kWord));
  }
  if (watches & kRest) timing.add("rest", "base after " + death, result(kRest));
  names ? system.names().waitForExit(kGiveUp) : system.program(label).waitForExit(kGiveUp);
}

void shutDownTimed(DemoSystem& system, Timing& timing) {
  const auto& labels = programLabels();
  for (auto label = labels.rbegin(); label != labels.rend(); ++label) {
    if (system.program(*label).isRunning()) {
      endTimed(system, *label, SIGTERM, kExit, "at the end", timing);
    }
  }
}

// Starts an object task and waits until it reaches the moment `moment` waits for.
std::string startTaskUntil(DemoSystem& system, std::string (DemoSystem::*moment)()) {
  const std::string problem = system.startTask("HIRO_OBJ_MANIP_START");
  return problem.empty() ? (system.*moment)() : problem;
}

// A system that did not come up is not driven.
bool broughtUp(DemoSystem& system, Timing& timing) {
  std::string problem = system.bringUp();
  if (problem.empty()) problem = system.startDriving();
  if (problem.empty()) return true;
  timing.problem(problem);
  return false;
}

// Starts an object task and returns once the arm moves along its trajectory.
bool armMovingInATrajectory(DemoSystem& system, Timing& timing) {
  std::string problem = startTaskUntil(system, &DemoSystem::waitForTrajectory);
  if (problem.empty()) problem = system.waitForArmToMove();
  if (problem.empty()) return true;
  timing.problem(problem);
  return false;
}

void viewerPlannerAndCoordinator(int signal, Timing& timing) {
  DemoSystem system;
  if (!broughtUp(system, timing)) return;
  endTimed(system, kViewer, signal, kExit, "while the base drives", timing);
  endTimed(system, kPlanner, signal, kExit | kRest, "while the base drives", timing);
  if (!armMovingInATrajectory(system, timing)) return;
  endTimed(system, kCoordinator, signal, kExit | (signal == SIGTERM ? unsigned{kWord} : 0u),
           "in a trajectory", timing);
  shutDownTimed(system, timing);
}

void baseAndArmSimulators(int signal, Timing& timing) {
  DemoSystem system;
  if (!broughtUp(system, timing)) return;
  endTimed(system, kBaseSimulator, signal, kExit, "while the base drives", timing);
  if (!armMovingInATrajectory(system, timing)) return;
  endTimed(system, kArmSimulator, signal, kExit | kWord, "in a trajectory", timing);
  shutDownTimed(system, timing);
}

void gatewayAndNameServer(int signal, Timing& timing) {
  DemoSystem system;
  if (!broughtUp(system, timing)) return;
  // Held still until its end, so that the coordinator waits for its first reach answer.
  system.program(kGateway).sendSignal(SIGSTOP);
  if (const std::string problem = startTaskUntil(system, &DemoSystem::waitForPlanning);
      !problem.empty()) {
    system.program(kGateway).sendSignal(SIGCONT);
    timing.problem(problem);
    return;
  }
  endTimed(system, kGateway, signal, kExit | kWord, "while asked to plan", timing);
  endTimed(system, "", signal, kExit, "while the base drives", timing);
  shutDownTimed(system, timing);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
  Timing timing;
  for (int run = 1; run <= runs; ++run) {
    for (int signal : {SIGKILL, SIGTERM}) {
      std::printf("-- run %d, %s\n", run, signalName(signal));
      viewerPlannerAndCoordinator(signal, timing);
      baseAndArmSimulators(signal, timing);
      gatewayAndNameServer(signal, timing);
    }
  }
  return timing.summarize() ? 0 : 1;
}
