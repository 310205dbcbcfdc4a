#include "demo_system.h"

#include <signal.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "provided_service.h"
#include "tests/support/wait_until.h"

namespace faults {
namespace {

using test_support::ChildOptions;
using test_support::ChildProcess;
using test_support::Seconds;
using Clock = std::chrono::steady_clock;

const std::string kSystemDir = DEMO_SYSTEM_DIR;
const std::string kScene = DEMO_SCENE_FILE;
const std::string kBuilding = DEMO_BUILDING_FILE;
// The arm's simulated time runs twice as fast as the clock: an object's trajectory still lasts
// many seconds, so a kill "during the trajectory" lands in it.
const std::string kArmTimeScale = "2";
// The route's first leg is driven at 0.3 m/s.
constexpr double kDriving_mps = 0.1;
const std::string kTrajectoryLine = "<< nxutil::Hiro2HiroNX()";
const std::string kPlanningLine = "Planning / Obj picking (Common I/F)";
// A joint that turned further than this has moved.
constexpr double kJointMoved_rad = 1e-3;

struct ProgramSetup {
  std::vector<std::string> components;
  double rate_hz;
};

// As demo.system declares them.
const std::map<std::string, ProgramSetup>& setups() {
  static const std::map<std::string, ProgramSetup> table = {
      {kArmSimulator, {{"RobotController0", "HIROController0", "HiroNX0", "Lumeris0"}, 50}},
      {kBaseSimulator, {{"BaseSim0"}, 50}},
      {kGateway, {{"Brisko0"}, 1}},
      {kCoordinator, {{"Palkett0"}, 100}},
      {kPlanner, {{"Torvane0"}, 10}},
      {kViewer, {{"PlanViewer0"}, 10}}};
  return table;
}

std::string lastLines(const std::string& text) {
  constexpr std::size_t kTail = 600;
  return text.size() <= kTail ? text : "..." + text.substr(text.size() - kTail);
}

// A program's execution rate as the system file's variables take it.
std::string rateText(const std::string& label) {
  std::ostringstream text;
  text << setups().at(label).rate_hz;
  return text.str();
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

const std::vector<std::string>& programLabels() {
  static const std::vector<std::string> labels = {kArmSimulator, kBaseSimulator, kGateway,
                                                  kCoordinator,  kPlanner,       kViewer};
  return labels;
}

const std::vector<std::string>& componentsOf(const std::string& label) {
  return setups().at(label).components;
}

DemoSystem::DemoSystem() : out_("fault-system-") {
  for (const std::string& label : programLabels()) {
    const std::string dir = writeProgramFolder(label);
    std::vector<std::string> arguments = {"-f", dir + "/rtc.conf"};
    if (label == kArmSimulator) {
      arguments.insert(arguments.end(), {"--scene", kScene, "--time-scale", kArmTimeScale});
    } else if (label == kViewer) {
      const std::string pictures = out_.path() + "/planning";
      std::filesystem::create_directories(pictures);
      arguments.insert(arguments.end(), {"--dir", pictures, "--video", pictures + "/run.avi"});
    }
    ChildOptions options;
    options.workingDirectory = dir;
    options.label = label;
    programs_[label] =
        std::make_unique<ChildProcess>(test_support::binPath(label), arguments, options);
  }
}

DemoSystem::~DemoSystem() = default;

std::string DemoSystem::writeProgramFolder(const std::string& label) {
  const std::string dir = out_.path() + "/run/" + label;
  std::filesystem::create_directories(dir);
  std::ofstream conf(dir + "/rtc.conf");
  conf << test_support::readFile(kSystemDir + "/demo.conf")
       << "exec_cxt.periodic.rate: " << setups().at(label).rate_hz << "\n"
       << "corba.nameservers: " << names_.address() << "\n";
  if (label == kPlanner) {
    std::filesystem::copy_file(test_support::binPath("MotionSet.mtn"), dir + "/MotionSet.mtn");
  }
  return dir;
}

std::string DemoSystem::componentsAppeared() {
  for (const std::string& label : programLabels()) {
    for (const std::string& component : componentsOf(label)) {
      if (!names_.waitForBinding(component + ".rtc", kStartTimeout)) {
        return component + " did not appear in the name server\n" +
               lastLines(program(label).output());
      }
    }
  }
  return "";
}

std::string DemoSystem::bringUp() {
  if (std::string problem = componentsAppeared(); !problem.empty()) return problem;
  const test_support::RunResult applied = rtctl(
      {"apply", kSystemDir + "/demo.system", "--var", "BIN=" + test_support::binDir(), "--var",
       "OUT=" + out_.path(), "--var", "SCENE=" + kScene, "--var", "BUILDING=" + kBuilding, "--var",
       "TIME_SCALE=" + kArmTimeScale, "--var", "PLANNER_RATE_HZ=" + rateText(kPlanner), "--var",
       "BASE_RATE_HZ=" + rateText(kBaseSimulator)});
  if (!applied.status.exitedWith(0)) {
    return "rtctl apply demo.system failed: " + applied.status.describe() + "\n" + applied.out +
           applied.err;
  }
  if (!program(kPlanner).waitForOutput("waiting completed.", kStartTimeout)) {
    return "the planner did not end its activation pause\n" + lastLines(program(kPlanner).output());
  }
  return "";
}

test_support::RunResult DemoSystem::rtctl(const std::vector<std::string>& arguments) {
  return test_support::runRtctl(names_, arguments, kRtctlTimeout);
}

std::map<std::string, std::string> DemoSystem::states() {
  std::map<std::string, std::string> result;
  const test_support::RunResult listed = rtctl({"ls"});
  if (!listed.status.exitedWith(0)) return result;
  std::istringstream lines(listed.out);
  std::string path;
  std::string state;
  while (lines >> path >> state) {
    const auto slash = path.rfind('/');
    std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (endsWith(name, ".rtc")) name.resize(name.size() - 4);
    result[name] = state;
  }
  return result;
}

std::string DemoSystem::checkOthersActive(const std::set<std::string>& gone) {
  const auto now = states();
  std::string problems;
  for (const std::string& label : programLabels()) {
    if (gone.count(label)) continue;
    if (!program(label).isRunning()) problems += label + " has ended; ";
    for (const std::string& component : componentsOf(label)) {
      const auto found = now.find(component);
      const std::string state = found == now.end() ? "not listed" : found->second;
      if (state != "Active") problems += component + " is " + state + "; ";
    }
  }
  return problems;
}

std::string DemoSystem::startDriving() {
  routeReader_ = std::make_unique<ChildProcess>(
      test_support::binPath("rtctl"),
      std::vector<std::string>{"-n", names_.address(), "wait", "Torvane0:message",
                               "ROBOT_ARRIVED|ROBOT_FINISH", "--timeout", "900", "--send",
                               "Torvane0:in_message", "ROBOT_START"},
      ChildOptions{{}, "", "route reader"});
  base_ = std::make_unique<simbase_test::BaseSimClient>(names_);
  if (!base_->ok()) return "BaseSim0's services cannot be reached";
  const bool driving = test_support::waitUntil(
      [this] {
        const auto status = baseStatus();
        return status && status->vx_mps > kDriving_mps;
      },
      kStartTimeout);
  if (!driving) {
    return "the base did not start driving\n" + lastLines(program(kPlanner).output()) +
           routeReader_->output();
  }
  return "";
}

std::optional<SimBase::BaseStatus> DemoSystem::baseStatus() {
  if (!base_ || CORBA::is_nil(base_->status)) return std::nullopt;
  try {
    return base_->status->getStatus();
  } catch (const CORBA::Exception&) {
    return std::nullopt;
  }
}

std::string DemoSystem::waitForBaseAtRest(Seconds timeout) {
  std::optional<SimBase::BaseStatus> last;
  const bool atRest = test_support::waitUntil(
      [this, &last] {
        last = baseStatus();
        return last && last->vx_mps == 0.0 && last->va_radps == 0.0;
      },
      timeout);
  if (atRest) return "";
  if (!last) return "the base does not answer";
  std::ostringstream text;
  text << "the base still moves: " << last->vx_mps << " m/s, " << last->va_radps << " rad/s";
  return text.str();
}

std::string DemoSystem::waitForBaseToDriveOn(double distance_m) {
  const auto start = baseStatus();
  if (!start) return "the base does not answer";
  const bool drove = test_support::waitUntil(
      [this, &start, distance_m] {
        const auto now = baseStatus();
        return now && now->travelled_m >= start->travelled_m + distance_m;
      },
      kOutcomeTimeout);
  return drove ? "" : "the base did not drive on\n" + lastLines(program(kPlanner).output());
}

std::string DemoSystem::startTask(const std::string& word) {
  const std::string family = word.substr(0, word.rfind('_'));
  answerReader_ = std::make_unique<ChildProcess>(
      test_support::binPath("rtctl"),
      std::vector<std::string>{"-n", names_.address(), "wait", "Palkett0:output",
                               family + "_(FINISHED|ERROR|STOPPED)", "--timeout", "600", "--send",
                               "Palkett0:input", word},
      ChildOptions{{}, "", "answer reader"});
  if (!program(kCoordinator).waitForOutput(">> " + word, kStartTimeout)) {
    return "the coordinator did not take " + word + "\n" + answerReader_->output();
  }
  return "";
}

std::string DemoSystem::answer() const {
  if (!answerReader_) return "";
  std::string text = answerReader_->standardOutput();
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

std::optional<test_support::ExitStatus> DemoSystem::waitForAnswerReader(Seconds timeout) {
  if (!answerReader_) return std::nullopt;
  return answerReader_->waitForExit(timeout);
}

std::string DemoSystem::waitForTrajectory() {
  return program(kCoordinator).waitForOutput(kTrajectoryLine, kOutcomeTimeout)
             ? ""
             : "the object task sent no trajectory\n" + lastLines(program(kCoordinator).output());
}

std::vector<double> DemoSystem::jointAngles() {
  try {
    if (CORBA::is_nil(hardware_)) {
      int argc = 0;
      CORBA::ORB_var orb = CORBA::ORB_init(argc, nullptr);
      std::string path;
      for (const std::string& binding : names_.listBindings()) {
        if (endsWith(binding, "/RobotController0.rtc")) path = binding;
      }
      CORBA::Object_var object = hirosim::testing::providedService(
          orb, names_.corbaloc(), path, "RobotHWSvc", "RobotHardwareService", "service0");
      hardware_ = OpenHRP::RobotHardwareService::_narrow(object);
      if (CORBA::is_nil(hardware_)) return {};
    }
    OpenHRP::RobotHardwareService::RobotState_var state;
    hardware_->getStatus(state.out());
    return std::vector<double>(state->angle.get_buffer(),
                               state->angle.get_buffer() + state->angle.length());
  } catch (const CORBA::Exception&) {
    return {};
  }
}

std::string DemoSystem::waitForArmToMove() {
  const std::vector<double> before = jointAngles();
  if (before.empty()) return "the robot controller does not tell its joint angles";
  const bool moved = test_support::waitUntil(
      [this, &before] {
        const std::vector<double> now = jointAngles();
        for (std::size_t i = 0; i < now.size() && i < before.size(); ++i) {
          if (std::abs(now[i] - before[i]) > kJointMoved_rad) return true;
        }
        return false;
      },
      kOutcomeTimeout);
  return moved ? "" : "the arm did not move\n" + lastLines(program(kCoordinator).output());
}

std::string DemoSystem::waitForPlanning() {
  return program(kCoordinator).waitForOutput(kPlanningLine, kOutcomeTimeout)
             ? ""
             : "the object task did not plan\n" + lastLines(program(kCoordinator).output());
}

std::string DemoSystem::shutDown(const std::set<std::string>& killed) {
  std::string problems;
  for (auto label = programLabels().rbegin(); label != programLabels().rend(); ++label) {
    ChildProcess& process = program(*label);
    if (!process.isRunning()) continue;
    process.sendSignal(SIGTERM);
    const auto status = process.waitForExit(kOutcomeTimeout);
    if (!status) {
      problems += *label + " did not end on SIGTERM\n" + lastLines(process.output());
    } else if (!status->exitedWith(0)) {
      problems += *label + " ended with " + status->describe() + " on SIGTERM\n" +
                  lastLines(process.output());
    }
  }
  for (auto* reader : {routeReader_.get(), answerReader_.get()}) {
    if (reader && !reader->waitForExit(kOutcomeTimeout)) {
      problems += reader->label() + " did not end when its component did\n" + reader->output();
    }
  }
  if (!names_.isRunning()) return problems;
  // A process that ended on SIGTERM has unbound its names itself; SIGKILL leaves them behind
  // for rtctl clean.
  std::set<std::string> leftBehind;
  for (const std::string& label : killed) {
    for (const std::string& component : componentsOf(label)) leftBehind.insert(component + ".rtc");
  }
  for (const std::string& binding : names_.listBindings()) {
    const auto slash = binding.rfind('/');
    const std::string name = binding.substr(slash == std::string::npos ? 0 : slash + 1);
    if (endsWith(name, ".rtc") && !leftBehind.count(name)) {
      problems += binding + " is still bound after its program ended on SIGTERM; ";
    }
  }
  if (!killed.empty()) {
    const test_support::RunResult cleaned = rtctl({"clean"});
    if (!cleaned.status.exitedWith(0)) problems += "rtctl clean failed: " + cleaned.err;
  }
  for (const std::string& binding : names_.listBindings()) {
    if (endsWith(binding, ".rtc")) problems += binding + " is left in the name server; ";
  }
  return problems;
}

}  // namespace faults
