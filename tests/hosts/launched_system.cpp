#include "launched_system.h"

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>

namespace hosts_test {
namespace {

namespace fs = std::filesystem;

// Generous for a loaded 2-core machine.
const test_support::Seconds kStartTimeout{180};
const test_support::Seconds kStopTimeout{90};
const test_support::Seconds kSummaryTimeout{120};
// The base drives in simulated time; an arm task of the scenario takes well under this.
const test_support::Seconds kDriveTimeout{600};
const test_support::Seconds kArmTaskTimeout{400};
constexpr double kPlannerRate_Hz = 10;
constexpr double kBaseRate_Hz = 50;
// The call that sends the word and listens for the answer may itself take a while to connect.
const test_support::Seconds kRtctlMargin{60};

int objectCount(const std::string& scene) {
  std::ifstream in(scene);
  int count = 0;
  for (std::string line; std::getline(in, line);) {
    if (std::regex_search(line, std::regex(R"(^\s*object\s)"))) ++count;
  }
  return count;
}

std::string sceneFile() { return projectRoot() + "/sim/hiro/scenes/default.scene"; }

std::string secondsText(double seconds) { return std::to_string(static_cast<long>(seconds + 0.5)); }

}  // namespace

std::string projectRoot() { return HOSTS_PROJECT_ROOT; }

std::string shippedSystemFile(const std::string& name) {
  return projectRoot() + "/scripts/system/" + name;
}

LaunchedSystem::LaunchedSystem(const LaunchOptions& options)
    : options_(options), parent_("mm-hosts-") {
  outDir_ = parent_.path() + "/out";
  stepsFile_ = outDir_ + "/steps.tsv";
  fs::create_directories(outDir_ + "/run/TorvaneComp");
  fs::create_directories(outDir_ + "/planning");
  fs::copy_file(test_support::binPath("MotionSet.mtn"), outDir_ + "/run/TorvaneComp/MotionSet.mtn");
  test_support::writeFile(stepsFile_, "");

  std::vector<std::string> arguments;
  if (!options.nameServer.empty()) arguments = {"-n", options.nameServer};
  std::vector<std::pair<std::string, std::string>> variables{
      {"BIN", test_support::binDir()},
      {"OUT", outDir_},
      {"SCENE", sceneFile()},
      {"BUILDING", projectRoot() + "/sim/base/default_building.plan"},
      {"TIME_SCALE", std::to_string(options.timeScale)},
      // The planner looks, and the base takes its commands, as often per simulated second
      // whatever the scale (as scripts/demo sets them).
      {"PLANNER_RATE_HZ", std::to_string(kPlannerRate_Hz * options.timeScale)},
      {"BASE_RATE_HZ", std::to_string(kBaseRate_Hz * options.timeScale)}};
  variables.insert(variables.end(), options.variables.begin(), options.variables.end());
  arguments.insert(arguments.end(), {"launch", options.systemFile, "--out", outDir_,
                                     "--start-timeout", "120", "--answer-timeout", "2"});
  for (const auto& [name, value] : variables) {
    arguments.insert(arguments.end(), {"--var", name + "=" + value});
  }
  std::vector<std::string> argv = prefixed(test_support::binPath("rtctl"), arguments);
  test_support::ChildOptions childOptions;
  childOptions.label = "rtctl launch";
  launch_ = std::make_unique<test_support::ChildProcess>(
      argv[0], std::vector<std::string>(argv.begin() + 1, argv.end()), childOptions);
}

LaunchedSystem::~LaunchedSystem() {
  if (launch_->isRunning()) stop();
}

std::vector<std::string> LaunchedSystem::prefixed(const std::string& program,
                                                  const std::vector<std::string>& arguments) const {
  std::vector<std::string> argv = options_.prefix;
  argv.push_back(program);
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return argv;
}

std::string LaunchedSystem::logOf(const std::string& label) const {
  return test_support::readFile(outDir_ + "/logs/" + label + ".log");
}

std::vector<int> LaunchedSystem::programPids() const {
  std::vector<int> pids;
  const std::string out = launch_->standardOutput();
  const std::regex started(R"(started [A-Za-z]+ \(pid ([0-9]+)\))");
  for (std::sregex_iterator it(out.begin(), out.end(), started), end; it != end; ++it) {
    pids.push_back(std::stoi((*it)[1].str()));
  }
  return pids;
}

bool LaunchedSystem::waitUntilUp() { return launch_->waitForOutput("system up", kStartTimeout); }

std::optional<test_support::ExitStatus> LaunchedSystem::stop() {
  launch_->sendSignal(SIGINT);
  return launch_->waitForExit(kStopTimeout);
}

test_support::RunResult LaunchedSystem::rtctl(const std::vector<std::string>& arguments,
                                              test_support::Seconds timeout) const {
  std::vector<std::string> all;
  if (!options_.nameServer.empty()) all = {"-n", options_.nameServer};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<std::string> argv = prefixed(test_support::binPath("rtctl"), all);
  return test_support::runProgram(argv[0], std::vector<std::string>(argv.begin() + 1, argv.end()),
                                  timeout);
}

StepOutcome LaunchedSystem::step(const std::string& label, const std::string& outEndpoint,
                                 const std::string& pattern, const std::string& inEndpoint,
                                 const std::string& word, const std::string& expected,
                                 test_support::Seconds timeout) {
  const auto started = std::chrono::steady_clock::now();
  test_support::RunResult waited = rtctl({"wait", outEndpoint, pattern, "--timeout",
                                          secondsText(timeout.count()), "--send", inEndpoint, word},
                                         timeout + kRtctlMargin);
  StepOutcome outcome;
  outcome.answer = waited.out;
  while (!outcome.answer.empty() && outcome.answer.back() == '\n') outcome.answer.pop_back();
  if (!waited.status.exitedWith(0) || outcome.answer.empty()) outcome.answer = "<none>";
  outcome.succeeded = outcome.answer == expected;
  const double duration_s =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::ofstream steps(stepsFile_, std::ios::app);
  steps << label << "\t" << word << "\t" << outcome.answer << "\t" << expected << "\t"
        << secondsText(duration_s) << "\n";
  return outcome;
}

bool LaunchedSystem::runScenario() {
  if (!step("drive to the work station", "Torvane0:message", "ROBOT_ARRIVED|ROBOT_FINISH",
            "Torvane0:in_message", "ROBOT_START", "ROBOT_ARRIVED", kDriveTimeout)
           .succeeded) {
    return false;
  }
  const int objects = objectCount(sceneFile());
  for (int i = 1; i <= objects; ++i) {
    if (!step("object " + std::to_string(i) + " of " + std::to_string(objects), "Palkett0:output",
              "HIRO_OBJ_MANIP_[A-Z]+", "Palkett0:input", "HIRO_OBJ_MANIP_START",
              "HIRO_OBJ_MANIP_FINISHED", kArmTaskTimeout)
             .succeeded) {
      return false;
    }
  }
  if (!step("tray", "Palkett0:output", "HIRO_TRAY_MANIP_[A-Z]+", "Palkett0:input",
            "HIRO_TRAY_MANIP_START", "HIRO_TRAY_MANIP_FINISHED", kArmTaskTimeout)
           .succeeded) {
    return false;
  }
  return step("drive back", "Torvane0:message", "ROBOT_FINISH|ROBOT_ARRIVED", "Torvane0:in_message",
              "ROBOT_GO_BACK", "ROBOT_FINISH", kDriveTimeout)
      .succeeded;
}

std::string LaunchedSystem::summary() const {
  std::vector<std::string> arguments;
  if (!options_.nameServer.empty()) arguments = {"-n", options_.nameServer};
  arguments.insert(arguments.end(), {"--steps", stepsFile_});
  std::vector<std::string> argv = prefixed(test_support::binPath("demo_summary"), arguments);
  test_support::RunResult result = test_support::runProgram(
      argv[0], std::vector<std::string>(argv.begin() + 1, argv.end()), kSummaryTimeout);
  return result.out + result.err;
}

}  // namespace hosts_test
