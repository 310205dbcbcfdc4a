#include "tests/support/arm_cell.h"

#include <vector>

#include "tests/support/name_server.h"
#include "tests/support/paths.h"
#include "tests/support/rtc_conf.h"
#include "tests/support/rtctl_runner.h"

namespace test_support {
namespace {

constexpr Seconds kStartTimeout{30.0};
constexpr double kRate_hz = 100.0;

std::unique_ptr<ChildProcess> startProgram(const std::string& program,
                                           const std::vector<std::string>& arguments) {
  return std::make_unique<ChildProcess>(binPath(program), arguments);
}

}  // namespace

::testing::AssertionResult ArmCell::start(const std::string& directory,
                                          const std::string& timeScale) {
  const std::string conf = writeRtcConf(
      directory,
      {names_.address(), "127.0.0.1:", kRate_hz, "WARN", {{"logger.file_name", "STDOUT"}}});
  simulator_ = startProgram("HiroSimComp", {"-f", conf, "--time-scale", timeScale});
  gateway_ = startProgram("BriskoComp", {"-f", conf});
  coordinator_ = startProgram("PalkettComp", {"-f", conf});
  for (const char* name : {"RobotController0.rtc", "HIROController0.rtc", "HiroNX0.rtc",
                           "Lumeris0.rtc", "Brisko0.rtc", "Palkett0.rtc"}) {
    if (!names_.waitForBinding(name, kStartTimeout)) {
      return ::testing::AssertionFailure() << name << " is not in the name server";
    }
  }
  std::vector<std::vector<std::string>> commands;
  for (const char* port :
       {"RobotHWSvc", "SeqPlayerSvc", "ArmCtrlSvcL", "ArmCtrlSvcR", "GrasperSvc"}) {
    commands.push_back(
        {"connect", std::string("Brisko0:") + port, std::string("RobotController0:") + port});
  }
  commands.push_back({"connect", "Palkett0:BriskoService", "Brisko0:BriskoService"});
  commands.push_back({"connect", "Palkett0:HIRO", "HIROController0:HIRO"});
  commands.push_back({"connect", "Palkett0:HiroNX", "HiroNX0:HiroNX"});
  commands.push_back({"connect", "Palkett0:LumerisService", "Lumeris0:LumerisService"});
  commands.push_back({"activate", "Brisko0", "Palkett0"});
  for (const auto& command : commands) {
    const RunResult run = runRtctl(names_, command);
    if (run.timedOut || !run.status.exitedWith(0)) {
      return ::testing::AssertionFailure()
             << "rtctl " << command.front() << " failed: " << run.out << run.err;
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace test_support
