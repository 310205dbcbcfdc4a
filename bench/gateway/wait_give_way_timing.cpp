// How quickly BriskoComp lets go of a call that waits for a motion the controller never ends:
// from a deactivation request to the call's answer, and from SIGTERM to the call's answer and
// to the end of the process; and how quickly HiroSimComp ends on SIGTERM while a trajectory
// call is blocked in it. Each round starts the programs afresh beside a private omniNames.
//
// Usage: gateway_wait_give_way_timing [ROUNDS]   (default 10)
#include <sys/wait.h>

#include <MotionCommands.hh>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <vector>

#include "brisko_client.h"
#include "orb_environment.h"
#include "provided_service.h"
#include "tests/support/test_support.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr double kEndlessMotion_s = 1e6;
// A trajectory the simulated cell takes 100 s of wall time over at time scale 20.
constexpr double kLongTrajectory_s = 2000.0;
constexpr test_support::Seconds kStartTimeout{20.0};

double millisecondsSince(Clock::time_point start, Clock::time_point end) {
  return std::chrono::duration<double, std::milli>(end - start).count();
}

struct Round {
  double deactivateCall_ms;     // deactivate_component's round trip
  double deactivatedAnswer_ms;  // deactivation request to the waiting call's answer
  double sigtermAnswer_ms;      // SIGTERM to the waiting call's answer
  double sigtermExit_ms;        // SIGTERM to the end of BriskoComp
  double cellAnswer_ms;         // SIGTERM to the answer of the call blocked in HiroSimComp
  double cellExit_ms;           // SIGTERM to the end of HiroSimComp
};

// Blocks until the child has ended without reaping it, so that ChildProcess still can.
Clock::time_point endOf(pid_t pid) {
  siginfo_t info{};
  waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
  return Clock::now();
}

bool rtctl(test_support::NameServer& names, const std::vector<std::string>& arguments) {
  const test_support::RunResult result = test_support::runRtctl(names, arguments, 30s);
  if (!result.timedOut && result.status.exitedWith(0)) return true;
  std::fprintf(stderr, "rtctl %s failed: %s%s\n", arguments[0].c_str(), result.out.c_str(),
               result.err.c_str());
  return false;
}

bool measureGateway(test_support::NameServer& names, const std::string& conf, Round& round) {
  test_support::ChildProcess brisko(test_support::binPath("BriskoComp"), {"-f", conf});
  test_support::ChildProcess controller(test_support::binPath("fake_hiro_controller"),
                                        {"-f", conf});
  if (!names.waitForBinding("Brisko0.rtc", kStartTimeout) ||
      !names.waitForBinding("FakeHiroController0.rtc", kStartTimeout) ||
      !rtctl(names, {"connect", "Brisko0:SeqPlayerSvc", "FakeHiroController0:SeqPlayerSvc"}) ||
      !rtctl(names, {"connect", "Brisko0:ArmCtrlSvcL", "FakeHiroController0:ArmCtrlSvcL"}) ||
      !rtctl(names, {"activate", "Brisko0"})) {
    return false;
  }
  CORBA::ORB_ptr orb = fakes::testOrb();
  BriskoRTC::BriskoService_var gateway = connectToBriskoService(orb, names.corbaloc(), "Brisko0");
  RTC::RTObject_var component = resolveComponent(orb, names.corbaloc(), "Brisko0");
  if (CORBA::is_nil(gateway) || CORBA::is_nil(component)) return false;
  RTC::ExecutionContextList_var contexts = component->get_owned_contexts();
  if (contexts->length() == 0) return false;
  RTC::ExecutionContext_var context = RTC::ExecutionContext::_duplicate(contexts[0]);

  BriskoRTC::BriskoService::JointAngles target;
  target.length(5);
  std::future<CORBA::Long> joints = std::async(
      std::launch::async, [&] { return gateway->setJointAngles(target, kEndlessMotion_s, true); });
  if (!controller.waitForOutput("SequencePlayerService::isEmpty", kStartTimeout)) return false;
  const Clock::time_point deactivating = Clock::now();
  std::future<Clock::time_point> answered = std::async(std::launch::async, [&] {
    joints.wait();
    return Clock::now();
  });
  if (context->deactivate_component(component) != RTC::RTC_OK) return false;
  round.deactivateCall_ms = millisecondsSince(deactivating, Clock::now());
  round.deactivatedAnswer_ms = millisecondsSince(deactivating, answered.get());

  if (context->activate_component(component) != RTC::RTC_OK) return false;
  const RTC::Pose3D hand{{0.35, 0.1, 0.2}, {0.0, -1.5707963267948966, 0.0}};
  std::future<Clock::time_point> handAnswered = std::async(std::launch::async, [&] {
    try {
      gateway->setHandPoseL(hand, kEndlessMotion_s, true);
    } catch (const CORBA::Exception&) {
    }
    return Clock::now();
  });
  if (!controller.waitForOutput("ArmControlService::checkStatus", kStartTimeout)) return false;
  const Clock::time_point signalled = Clock::now();
  brisko.sendSignal(SIGTERM);
  round.sigtermExit_ms = millisecondsSince(signalled, endOf(brisko.pid()));
  round.sigtermAnswer_ms = millisecondsSince(signalled, handAnswered.get());
  return true;
}

bool measureCell(test_support::NameServer& names, const std::string& conf, Round& round) {
  test_support::ChildProcess sim(test_support::binPath("HiroSimComp"),
                                 {"-f", conf, "-o", "clock.time_scale:20"});
  if (!names.waitForBinding("HIROController0.rtc", kStartTimeout)) return false;
  CORBA::Object_var object =
      hirosim::testing::providedService(fakes::testOrb(), names.corbaloc(), "HIROController0.rtc",
                                        "HIRO", "MotionCommands", "motion");
  MotionCommands_var motion = MotionCommands::_narrow(object);
  if (CORBA::is_nil(motion)) return false;
  MotionCommands::JointPosSeq points;
  points.length(1);
  points[0].length(24);
  for (CORBA::ULong i = 0; i < 24; ++i) points[0][i] = 0.0;
  points[0][0] = 90.0;
  MotionCommands::DoubleSeq times;
  times.length(1);
  times[0] = kLongTrajectory_s;
  std::future<Clock::time_point> answered = std::async(std::launch::async, [&] {
    try {
      MotionCommands::RETURN_ID_var result = motion->movePTPJointAbsSeq(points, times);
    } catch (const CORBA::Exception&) {
    }
    return Clock::now();
  });
  // A trajectory call answers at once only when refused; otherwise it is under way.
  if (answered.wait_for(200ms) != std::future_status::timeout) return false;
  const Clock::time_point signalled = Clock::now();
  sim.sendSignal(SIGTERM);
  round.cellExit_ms = millisecondsSince(signalled, endOf(sim.pid()));
  round.cellAnswer_ms = millisecondsSince(signalled, answered.get());
  return true;
}

void printSummary(const char* what, std::vector<double> values_ms) {
  std::sort(values_ms.begin(), values_ms.end());
  std::printf("%-50s median %7.1f ms   max %7.1f ms\n", what, values_ms[values_ms.size() / 2],
              values_ms.back());
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
  if (rounds < 1) {
    std::fprintf(stderr, "usage: gateway_wait_give_way_timing [ROUNDS]\n");
    return 2;
  }
  test_support::NameServer names;
  test_support::TempDir dir;
  const std::string conf = test_support::writeRtcConf(
      dir.path(), {names.address(), "127.0.0.1:", 10.0, "WARN", {{"naming.formats", "%n.rtc"}}});
  std::vector<Round> measured;
  for (int i = 0; i < rounds; ++i) {
    Round round{};
    if (!measureGateway(names, conf, round) ||
        !names.waitForUnbinding("Brisko0.rtc", kStartTimeout) || !measureCell(names, conf, round)) {
      std::fprintf(stderr, "round %d failed\n", i + 1);
      return 1;
    }
    std::printf(
        "round %2d: BriskoComp: deactivate %5.1f ms, wait gave way %5.1f ms; SIGTERM: "
        "answer %5.1f ms, exit %5.1f ms. HiroSimComp SIGTERM: answer %5.1f ms, exit "
        "%5.1f ms\n",
        i + 1, round.deactivateCall_ms, round.deactivatedAnswer_ms, round.sigtermAnswer_ms,
        round.sigtermExit_ms, round.cellAnswer_ms, round.cellExit_ms);
    measured.push_back(round);
    names.waitForUnbinding("HIROController0.rtc", kStartTimeout);
  }
  const auto column = [&](double Round::*field) {
    std::vector<double> values;
    for (const Round& round : measured) values.push_back(round.*field);
    return values;
  };
  printSummary("BriskoComp: deactivate_component round trip", column(&Round::deactivateCall_ms));
  printSummary("BriskoComp: deactivation to the call's answer",
               column(&Round::deactivatedAnswer_ms));
  printSummary("BriskoComp: SIGTERM to the waiting call's answer",
               column(&Round::sigtermAnswer_ms));
  printSummary("BriskoComp: SIGTERM to its end", column(&Round::sigtermExit_ms));
  printSummary("HiroSimComp: SIGTERM to the blocked call's answer", column(&Round::cellAnswer_ms));
  printSummary("HiroSimComp: SIGTERM to its end", column(&Round::cellExit_ms));
  return 0;
}
