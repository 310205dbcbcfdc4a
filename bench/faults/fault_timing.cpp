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
      double worst = 0.0;
      std::string worstWhat;
      int count = 0;
      for (const Measurement& m : measurements_) {
        if (m.kind != kind) continue;
        ++count;
        const double seconds = m.seconds < 0 ? kGiveUp.count() : m.seconds;
        if (seconds >= worst) {
          worst = seconds;
          worstWhat = m.what;
        }
      }
      if (count == 0) continue;
      const bool ok = worst <= goal_s;
      met = met && ok;
      std::printf("%-5s worst of %2d: %.3f s (%s), goal %.1f s: %s\n", kind.c_str(), count, worst,
                  worstWhat.c_str(), goal_s, ok ? "met" : "MISSED");
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

template <typename Condition>
double secondsUntil(Clock::time_point start, Condition condition) {
  while (!condition()) {
    if (since(start) > kGiveUp.count()) return -1.0;
    std::this_thread::sleep_for(kPollInterval);
  }
  return since(start);
}

const char* signalName(int signal) { return signal == SIGKILL ? "SIGKILL" : "SIGTERM"; }

// Sends the signal; on SIGTERM times the exit.
Clock::time_point endProgram(DemoSystem& system, const std::string& label, int signal,
                             Timing& timing, const std::string& moment) {
  test_support::ChildProcess& process = system.program(label);
  const auto start = Clock::now();
  process.sendSignal(signal);
  if (signal == SIGTERM) {
    timing.add("exit", label + " " + moment,
               secondsUntil(start, [&process] { return !process.isRunning(); }));
  }
  process.waitForExit(kGiveUp);
  return start;
}

// From the death to the task's word, whichever it is.
void timeWord(DemoSystem& system, Clock::time_point death, const std::string& what,
              Timing& timing) {
  const double seconds = secondsUntil(death, [&system] { return !system.answer().empty(); });
  timing.add("word", what + " -> " + system.answer(), seconds);
}

void shutDownTimed(DemoSystem& system, Timing& timing) {
  const auto& labels = programLabels();
  for (auto label = labels.rbegin(); label != labels.rend(); ++label) {
    if (system.program(*label).isRunning()) {
      endProgram(system, *label, SIGTERM, timing, "at the end");
    }
  }
}

bool broughtUp(DemoSystem& system, Timing& timing) {
  for (const std::string& problem : {system.bringUp(), system.startDriving()}) {
    if (!problem.empty()) {
      timing.problem(problem);
      return false;
    }
  }
  return true;
}

void viewerPlannerAndCoordinator(int signal, Timing& timing) {
  DemoSystem system;
  if (!broughtUp(system, timing)) return;
  endProgram(system, kViewer, signal, timing, "while the base drives");
  const auto death = endProgram(system, kPlanner, signal, timing, "while the base drives");
  timing.add("rest", std::string("base after ") + signalName(signal) + " of " + kPlanner,
             secondsUntil(death, [&system] {
               const auto status = system.baseStatus();
               return status && status->vx_mps == 0.0 && status->va_radps == 0.0;
             }));
  if (const std::string problem =
          system.startTask("HIRO_OBJ_MANIP_START") + system.waitForTrajectory();
      !problem.empty()) {
    timing.problem(problem);
    return;
  }
  // Well inside the trajectory, as an operator would stop it.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const auto stopped = endProgram(system, kCoordinator, signal, timing, "in a trajectory");
  if (signal == SIGTERM) {
    timeWord(system, stopped, "SIGTERM of PalkettComp", timing);
  }
  shutDownTimed(system, timing);
}

void baseAndArmSimulators(int signal, Timing& timing) {
  DemoSystem system;
  if (!broughtUp(system, timing)) return;
  endProgram(system, kBaseSimulator, signal, timing, "while the base drives");
  if (const std::string problem =
          system.startTask("HIRO_OBJ_MANIP_START") + system.waitForTrajectory();
      !problem.empty()) {
    timing.problem(problem);
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  test_support::ChildProcess& arm = system.program(kArmSimulator);
  const auto death = Clock::now();
  arm.sendSignal(signal);
  timeWord(system, death, std::string(signalName(signal)) + " of HiroSimComp", timing);
  if (signal == SIGTERM) {
    timing.add("exit", kArmSimulator + " in a trajectory",
               secondsUntil(death, [&arm] { return !arm.isRunning(); }));
  }
  arm.waitForExit(kGiveUp);
  shutDownTimed(system, timing);
}

void gatewayAndNameServer(int signal, Timing& timing) {
  DemoSystem system;
  if (!broughtUp(system, timing)) return;
  test_support::ChildProcess& gateway = system.program(kGateway);
  gateway.sendSignal(SIGSTOP);
  if (const std::string problem =
          system.startTask("HIRO_OBJ_MANIP_START") + system.waitForPlanning();
      !problem.empty()) {
    gateway.sendSignal(SIGCONT);
    timing.problem(problem);
    return;
  }
  const auto death = Clock::now();
  gateway.sendSignal(signal);
  gateway.sendSignal(SIGCONT);
  timeWord(system, death, std::string(signalName(signal)) + " of BriskoComp", timing);
  if (signal == SIGTERM) {
    timing.add("exit", kGateway + " while asked to plan",
               secondsUntil(death, [&gateway] { return !gateway.isRunning(); }));
  }
  gateway.waitForExit(kGiveUp);
  const auto namesDeath = Clock::now();
  system.names().sendSignal(signal);
  if (signal == SIGTERM) {
    timing.add("exit", "omniNames",
               secondsUntil(namesDeath, [&system] { return !system.names().isRunning(); }));
  }
  system.names().waitForExit(kGiveUp);
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
