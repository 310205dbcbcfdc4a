#pragma once
// The demo's whole system, brought up by a test or a timing tool without the demo's
// supervision: a private omniNames, the six programs of scripts/system/demo.system each in a
// working folder of its own with the rtc.conf made from demo.conf, and `rtctl apply` of that
// file. It then puts the system where a fault matters (the base driving, an object task in its
// trajectory or in its planning) and tells what happened, so that the fault test asserts on it
// and the timing tool times it. Every call to rtctl has a deadline.
//
//   faults::DemoSystem system;
//   if (auto problem = system.bringUp(); !problem.empty()) ...
//   system.startDriving();
//   system.program(faults::kPlanner).sendSignal(SIGKILL);
//   system.waitForBaseAtRest(...);
//
// Failures are returned as a text saying what did not happen (empty on success).
#include <OpenHRP.hh>
#include <SimBase.hh>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base_sim_client.h"
#include "tests/support/test_support.h"

namespace faults {

// The programs' labels, as demo.system names them.
inline const std::string kArmSimulator = "HiroSimComp";
inline const std::string kBaseSimulator = "BaseSimComp";
inline const std::string kGateway = "BriskoComp";
inline const std::string kCoordinator = "PalkettComp";
inline const std::string kPlanner = "TorvaneComp";
inline const std::string kViewer = "PlanViewer";

// In the order demo.system starts them.
const std::vector<std::string>& programLabels();
// The components a program creates.
const std::vector<std::string>& componentsOf(const std::string& label);

// Generous for a loaded 2-core machine: only a fault lets a wait run out.
inline const test_support::Seconds kStartTimeout{90};
inline const test_support::Seconds kOutcomeTimeout{60};
inline const test_support::Seconds kRtctlTimeout{30};

class DemoSystem {
 public:
  // Starts omniNames and the six programs; bringUp() waits for them and applies the file.
  DemoSystem();
  ~DemoSystem();
  DemoSystem(const DemoSystem&) = delete;
  DemoSystem& operator=(const DemoSystem&) = delete;

  // Waits for every component, applies demo.system and waits until the planner has finished
  // its activation pause.
  std::string bringUp();

  test_support::ChildProcess& program(const std::string& label) { return *programs_.at(label); }
  test_support::NameServer& names() { return names_; }

  // rtctl -n <name server> ARGUMENTS..., killed after kRtctlTimeout.
  test_support::RunResult rtctl(const std::vector<std::string>& arguments);

  // Each component's state as rtctl ls shows it ("Active", "Inactive", "Error"); empty when
  // rtctl fails.
  std::map<std::string, std::string> states();
  // Empty when every component of the running programs, except those of `gone`, is Active.
  std::string checkOthersActive(const std::set<std::string>& gone);

  // ROBOT_START to the planner (with a reader of its "message" port listening), then waits
  // until the base drives on its first leg.
  std::string startDriving();
  // The base's own account over its SimBase interface; empty when it does not answer.
  std::optional<SimBase::BaseStatus> baseStatus();
  // Waits until the base's true velocity is zero.
  std::string waitForBaseAtRest(test_support::Seconds timeout);
  // Waits until the base has driven `distance_m` further than now: the planner still drives it.
  std::string waitForBaseToDriveOn(double distance_m);

  // Sends `word` to Palkett0:input with `rtctl wait` listening on Palkett0:output for the
  // task's answer, in the background; answer() and answerEnded() read it.
  std::string startTask(const std::string& word);
  // The word the reader printed; empty while none has come.
  std::string answer() const;
  // The reader's exit, once it has ended (it ends on the answer, or with exit 1 when the
  // coordinator or the name server goes away).
  std::optional<test_support::ExitStatus> waitForAnswerReader(test_support::Seconds timeout);
  // Waits until the task is in its trajectory (the plan converted, the motion being sent).
  std::string waitForTrajectory();
  // Waits until the arm moves (its joint angles as the robot controller reports them change):
  // the trajectory is under way in the simulated cell.
  std::string waitForArmToMove();
  // Waits until the task is planning (asking the gateway whether the first hand pose can be
  // reached).
  std::string waitForPlanning();

  // Ends every program still running with SIGTERM, in the reverse order of the file; each must
  // end with exit 0. Then the names of the programs in `killed` (ended with SIGKILL, which
  // leaves them behind) are removed with rtctl clean, and no name of a component may be left.
  // When the name server is not running only the programs are checked.
  std::string shutDown(const std::set<std::string>& killed);

 private:
  std::string writeProgramFolder(const std::string& label);
  std::string componentsAppeared();
  // The arm's joint angles in radians; empty when the robot controller does not answer.
  std::vector<double> jointAngles();

  test_support::NameServer names_;
  test_support::TempDir out_;
  std::map<std::string, std::unique_ptr<test_support::ChildProcess>> programs_;
  std::unique_ptr<test_support::ChildProcess> routeReader_;
  std::unique_ptr<test_support::ChildProcess> answerReader_;
  std::unique_ptr<simbase_test::BaseSimClient> base_;
  OpenHRP::RobotHardwareService_var hardware_;
};

}  // namespace faults
