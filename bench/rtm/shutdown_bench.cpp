// How long the real component programs take to end and to deactivate, connected as in the
// demo (scripts/system/demo.system), each in its own process against a private omniNames.
//
//   build/bin/shutdown_bench [--rounds 3]
//
// Two groups of three programs: the base (BaseSimComp, TorvaneComp, PlanViewer) and the arm
// (HiroSimComp, BriskoComp, PalkettComp). For each it prints, in milliseconds:
//   - deactivate: `rtctl deactivate` of each component, the tool's whole run;
//   - alone: SIGTERM to each program started on its own, to its exit;
//   - in turn: SIGTERM to each program of the connected, active group, one after the other;
//   - together: SIGTERM to the three at once, to the exit of each;
//   - hung peer: SIGTERM to the first program while the second is stopped (SIGSTOP).
// After every exit it checks that the program's names are gone from the name server.
#include <tests/support/test_support.h>

#include <signal.h>
#include <sys/types.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using test_support::Seconds;

const Seconds kStartTimeout{30};
const Seconds kExitTimeout{30};

struct Program {
  std::string name;                    // the program in build/bin
  std::vector<std::string> instances;  // its components
  double rate_hz;                      // as the demo runs it
  std::vector<std::string> arguments;
};

struct Group {
  std::string label;
  std::vector<Program> programs;
  std::vector<std::vector<std::string>> connections;  // rtctl connect A:port B:port
};

std::vector<Group> groups() {
  return {
      {"base",
       {{"BaseSimComp", {"BaseSim0"}, 50, {}},
        {"TorvaneComp", {"Torvane0"}, 10, {}},
        {"PlanViewer", {"PlanViewer0"}, 10, {"--dir", "."}}},
       {{"BaseSim0:robot_pose", "Torvane0:robot_pose"},
        {"BaseSim0:robot_velocity", "Torvane0:robot_velocity"},
        {"Torvane0:robot_control", "BaseSim0:robot_control"},
        {"Torvane0:RelativeMapService", "BaseSim0:RelativeMapService"},
        {"Torvane0:planning_img", "PlanViewer0:planning_img"}}},
      {"arm",
       {{"HiroSimComp", {"RobotController0", "HIROController0", "HiroNX0", "Lumeris0"}, 50, {}},
        {"BriskoComp", {"Brisko0"}, 1, {}},
        {"PalkettComp", {"Palkett0"}, 100, {}}},
       {{"Brisko0:RobotHWSvc", "RobotController0:RobotHWSvc"},
        {"Brisko0:SeqPlayerSvc", "RobotController0:SeqPlayerSvc"},
        {"Brisko0:ArmCtrlSvcL", "RobotController0:ArmCtrlSvcL"},
        {"Brisko0:ArmCtrlSvcR", "RobotController0:ArmCtrlSvcR"},
        {"Brisko0:GrasperSvc", "RobotController0:GrasperSvc"},
        {"Palkett0:BriskoService", "Brisko0:BriskoService"},
        {"Palkett0:HIRO", "HIROController0:HIRO"},
        {"Palkett0:HiroNX", "HiroNX0:HiroNX"},
        {"Palkett0:LumerisService", "Lumeris0:LumerisService"}}},
  };
}

// True once the process has ended (a zombie counts), without reaping it.
bool hasEnded(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(stat, text)) return true;
  const size_t paren = text.rfind(')');
  return paren == std::string::npos || text.compare(paren + 2, 1, "Z") == 0;
}

// Milliseconds from now until the process has ended; -1 on time-out.
double msUntilEnded(pid_t pid, Clock::time_point since) {
  while (!hasEnded(pid)) {
    if (Clock::now() - since > kExitTimeout) return -1;
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

class Run {
 public:
  explicit Run(const Group& group) : group_(group) {}

  void start(const Program& program) {
    const std::string dir = run_.path() + "/" + program.name;
    std::system(("mkdir -p '" + dir + "'").c_str());
    if (program.name == "TorvaneComp")
      std::system(("cp '" + test_support::binPath("MotionSet.mtn") + "' '" + dir + "/'").c_str());
    test_support::RtcConfOptions options;
    options.nameServer = names_.address();
    options.rate_hz = program.rate_hz;
    const std::string conf = test_support::writeRtcConf(dir, options);
    std::vector<std::string> arguments{"-f", conf};
    arguments.insert(arguments.end(), program.arguments.begin(), program.arguments.end());
    test_support::ChildOptions child_options;
    child_options.workingDirectory = dir;
    processes_[program.name] = std::make_unique<test_support::ChildProcess>(
        test_support::binPath(program.name), arguments, child_options);
    for (const std::string& instance : program.instances)
      if (!names_.waitForBinding(instance + ".rtc", kStartTimeout))
        std::fprintf(stderr, "%s did not come up:\n%s\n", instance.c_str(),
                     processes_[program.name]->output().c_str());
  }

  // The whole group, connected and active.
  void startConnected() {
    for (const Program& program : group_.programs) start(program);
    for (const auto& connection : group_.connections) {
      std::vector<std::string> words{"connect"};
      words.insert(words.end(), connection.begin(), connection.end());
      rtctl(words);
    }
    for (const Program& program : group_.programs)
      for (const std::string& instance : program.instances) rtctl({"activate", instance});
  }

  double deactivate_ms(const std::string& instance) {
    const Clock::time_point start = Clock::now();
    const bool ok = rtctl({"deactivate", instance});
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    rtctl({"activate", instance});
    return ok ? ms : -1;
  }

  // SIGTERM to the program; milliseconds until it has ended, -1 when it did not.
  double terminate_ms(const Program& program) {
    const Clock::time_point start = Clock::now();
    signal(program, SIGTERM);
    return msUntilEnded(pid(program), start);
  }

  pid_t pid(const Program& program) { return processes_.at(program.name)->pid(); }
  void signal(const Program& program, int number) {
    processes_.at(program.name)->sendSignal(number);
  }

  // The names of the program's components still bound, as " (names left: ...)".
  std::string namesLeft(const Program& program) {
    std::string left;
    for (const std::string& instance : program.instances)
      if (names_.isBound(instance + ".rtc")) left += " " + instance;
    return left.empty() ? "" : " (names left:" + left + ")";
  }

 private:
  bool rtctl(const std::vector<std::string>& words) {
    const auto result = test_support::runRtctl(names_, words);
    if (!result.status.exitedWith(0)) {
      std::string line;
      for (const std::string& word : words) line += word + " ";
      std::fprintf(stderr, "rtctl %sfailed: %s", line.c_str(), result.err.c_str());
    }
    return result.status.exitedWith(0);
  }

  const Group& group_;
  test_support::NameServer names_;
  test_support::TempDir run_{"mm-shutdown-bench-"};
  std::map<std::string, std::unique_ptr<test_support::ChildProcess>> processes_;
};

void report(const std::string& what, const std::string& program, double ms,
            const std::string& note = "") {
  if (ms < 0)
    std::printf("  %-11s %-14s did not end in %.0f s%s\n", what.c_str(), program.c_str(),
                kExitTimeout.count(), note.c_str());
  else
    std::printf("  %-11s %-14s %7.1f ms%s\n", what.c_str(), program.c_str(), ms, note.c_str());
  std::fflush(stdout);
}

void measureGroup(const Group& group) {
  std::printf("%s group\n", group.label.c_str());
  {
    Run run(group);
    run.startConnected();
    for (const Program& program : group.programs)
      for (const std::string& instance : program.instances)
        report("deactivate", instance, run.deactivate_ms(instance));
  }
  for (const Program& program : group.programs) {
    Run run(group);
    run.start(program);
    const double ms = run.terminate_ms(program);
    report("alone", program.name, ms, run.namesLeft(program));
  }
  {
    Run run(group);
    run.startConnected();
    for (const Program& program : group.programs) {
      const double ms = run.terminate_ms(program);
      report("in turn", program.name, ms, run.namesLeft(program));
    }
  }
  {
    Run run(group);
    run.startConnected();
    const Clock::time_point start = Clock::now();
    for (const Program& program : group.programs) run.signal(program, SIGTERM);
    for (const Program& program : group.programs) {
      const double ms = msUntilEnded(run.pid(program), start);
      report("together", program.name, ms, run.namesLeft(program));
    }
  }
  {
    Run run(group);
    run.startConnected();
    const Program& ending = group.programs[1];
    const Program& hung = group.programs[0];
    run.signal(hung, SIGSTOP);
    const double ms = run.terminate_ms(ending);
    report("hung peer", ending.name, ms, " (" + hung.name + " stopped)" + run.namesLeft(ending));
    run.signal(hung, SIGCONT);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 1;
  for (int i = 1; i + 1 < argc; i += 2)
    if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[i + 1]));
  for (int round = 1; round <= rounds; ++round) {
    std::printf("round %d\n", round);
    for (const Group& group : groups()) measureGroup(group);
  }
  return 0;
}
