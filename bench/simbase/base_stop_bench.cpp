// How soon the simulated base is at rest once its planner is gone. For each run: omniNames,
// BaseSimComp, TorvaneComp and RouteSupervisor on loopback, the default building's route
// started; once the base cruises on its first leg, TorvaneComp is killed with SIGKILL at a
// random moment of its 0.5 s cycle, and the base's own account (BaseStatusService: its true
// velocity, polled every millisecond) says when it is at rest. Prints each run and the worst.
//
//   build/bin/simbase_stop_bench [RUNS]      (default 10; about 10 s a run)
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base_sim_client.h"
#include "planner/motion_set.h"
#include "tests/support/test_support.h"

using namespace test_support;
using Clock = std::chrono::steady_clock;

namespace {

const Seconds kStartTimeout(30);
constexpr double kCruise_mps = 0.29;  // the route speed is 0.3 m/s
constexpr auto kPollInterval = std::chrono::milliseconds(1);
constexpr double kGiveUp_s = 10.0;

struct StopRun {
  bool ok = false;
  std::string problem;
  double killToRest_s = 0.0;
  std::string baseLine;  // the base's own console line about the stop
};

double secondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

bool rtctlOk(const NameServer& names, const std::vector<std::string>& arguments) {
  return runRtctl(names, arguments, Seconds(20)).status.exitedWith(0);
}

std::string lineWith(const std::string& text, const std::string& what) {
  const auto at = text.find(what);
  if (at == std::string::npos) return "";
  const auto begin = text.rfind('\n', at);
  const auto end = text.find('\n', at);
  return text.substr(begin == std::string::npos ? 0 : begin + 1,
                     end == std::string::npos ? std::string::npos : end - begin - 1);
}

StopRun runOnce(std::mt19937& random) {
  StopRun result;
  TempDir dir("simbase-stop-bench-");
  NameServer names;
  RtcConfOptions conf;
  conf.nameServer = names.address();
  conf.logLevel = "WARN";
  writeRtcConf(dir.path(), conf);
  planner::writeMotionFile(dir.file("MotionSet.mtn"), {{0.0f, 300.0f}, {3000.0f, 300.0f}});
  ChildOptions inDir;
  inDir.workingDirectory = dir.path();
  const std::vector<std::string> confArgs = {"-f", dir.file("rtc.conf")};
  ChildProcess base(binPath("BaseSimComp"), confArgs, inDir);
  ChildProcess planner(binPath("TorvaneComp"), confArgs, inDir);
  ChildProcess supervisor(binPath("RouteSupervisor"), confArgs, inDir);
  for (const char* name : {"BaseSim0.rtc", "Torvane0.rtc", "RouteSupervisor0.rtc"})
    if (!names.waitForBinding(name, kStartTimeout)) {
      result.problem = std::string(name) + " did not appear";
      return result;
    }
  const std::vector<std::pair<std::string, std::string>> connections = {
      {"Torvane0:robot_control", "BaseSim0:robot_control"},
      {"BaseSim0:robot_pose", "Torvane0:robot_pose"},
      {"BaseSim0:robot_velocity", "Torvane0:robot_velocity"},
      {"Torvane0:RelativeMapService", "BaseSim0:RelativeMapService"},
      {"RouteSupervisor0:route_command", "Torvane0:in_message"},
      {"Torvane0:message", "RouteSupervisor0:route_report"}};
  for (const auto& [from, to] : connections)
    if (!rtctlOk(names, {"connect", from, to})) {
      result.problem = "cannot connect " + from;
      return result;
    }
  if (!rtctlOk(names, {"activate", "BaseSim0", "Torvane0"}) ||
      !planner.waitForOutput("waiting completed.", kStartTimeout) ||
      !rtctlOk(names, {"activate", "RouteSupervisor0"})) {
    result.problem = "the route did not start";
    return result;
  }
  simbase_test::BaseSimClient client(names);
  if (!client.ok()) {
    result.problem = "BaseSim0's services cannot be reached";
    return result;
  }

  // Cruising on the first leg; then a random moment within one planner cycle.
  const auto startWait = Clock::now();
  while (client.status->getStatus().vx_mps < kCruise_mps) {
    if (secondsBetween(startWait, Clock::now()) > kStartTimeout.count()) {
      result.problem = "the base never reached the route speed";
      return result;
    }
    std::this_thread::sleep_for(kPollInterval);
  }
  std::this_thread::sleep_for(
      std::chrono::duration<double>(std::uniform_real_distribution<double>(0.0, 0.5)(random)));

  const auto killed = Clock::now();
  planner.sendSignal(SIGKILL);
  while (true) {
    const SimBase::BaseStatus status = client.status->getStatus();
    const auto now = Clock::now();
    if (status.vx_mps == 0.0 && status.va_radps == 0.0) {
      result.killToRest_s = secondsBetween(killed, now);
      break;
    }
    if (secondsBetween(killed, now) > kGiveUp_s) {
      result.problem = "the base was still moving 10 s after the planner's death";
      return result;
    }
    std::this_thread::sleep_for(kPollInterval);
  }
  base.waitForOutput("the watchdog brought the base to rest", Seconds(5));
  result.baseLine = lineWith(base.standardOutput(), "the watchdog brought the base to rest");
  result.ok = true;
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  std::mt19937 random(std::random_device{}());
  std::vector<double> times;
  for (int run = 1; run <= runs; ++run) {
    const StopRun result = runOnce(random);
    if (!result.ok) {
      std::printf("run %d: %s\n", run, result.problem.c_str());
      return 1;
    }
    times.push_back(result.killToRest_s);
    std::printf("run %d: at rest %.3f s after SIGKILL of TorvaneComp (%s)\n", run,
                result.killToRest_s, result.baseLine.c_str());
    std::fflush(stdout);
  }
  double sum = 0.0;
  for (double t : times) sum += t;
  std::printf("%d runs: mean %.3f s, worst %.3f s from the planner's death to the base at rest\n",
              runs, sum / runs, *std::max_element(times.begin(), times.end()));
  return 0;
}
