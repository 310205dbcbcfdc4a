// A fault seen on the robot, reproduced at a desk: a run of the planner against the simulated
// base is recorded (odometry, words, the maps it was served, and its own commands and words);
// the recording is then replayed into a lone TorvaneComp with nothing else running, which must
// send the same velocity commands and route words in the same order.
#include <gtest/gtest.h>
#include <signal.h>

#include <regex>

#include "planner/motion_set.h"
#include "tests/support/test_support.h"
#include "tools/port_data/cdr_codec.h"
#include "tools/port_data/recording_file.h"
#include "tools/port_data/text_form.h"

namespace {

using test_support::ChildOptions;
using test_support::ChildProcess;
using test_support::NameServer;
using test_support::RunResult;
using test_support::Seconds;
using test_support::TempDir;

const Seconds kStartTimeout(30);
const Seconds kCommandTimeout(30);
// The route takes about 100 s of driving; a loaded machine may stretch the cycles.
const Seconds kRouteTimeout(400);

void expectRtctl(const NameServer& names, const std::vector<std::string>& arguments) {
  const RunResult result = test_support::runRtctl(names, arguments, kCommandTimeout);
  std::string command;
  for (const auto& word : arguments) command += word + " ";
  EXPECT_TRUE(result.status.exitedWith(0)) << command << "\n" << result.out << result.err;
}

// A folder with the rtc.conf and the motion set the planner reads at activation.
std::string prepareFolder(const TempDir& folder, const NameServer& names) {
  test_support::RtcConfOptions conf;
  conf.nameServer = names.address();
  conf.rate_hz = 100.0;
  test_support::writeRtcConf(folder.path(), conf);
  EXPECT_TRUE(planner::writeMotionFile(folder.file("MotionSet.mtn"),
                                       {{0.0f, 300.0f}, {3000.0f, 300.0f}, {-3000.0f, 300.0f}}));
  return folder.file("rtc.conf");
}

// The lines of the samples a recording holds for one port, in order.
std::vector<std::string> recordedLines(const std::string& file, const std::string& port) {
  auto reader = port_data::RecordingReader::open(file);
  EXPECT_TRUE(reader) << reader.error();
  std::vector<std::string> lines;
  if (!reader) return lines;
  std::optional<std::uint16_t> channel;
  const port_data::TypeDesc* type = nullptr;
  while (auto record = reader.value()->next()) {
    if (auto* declared = std::get_if<port_data::Channel>(&*record)) {
      if (declared->port == port) {
        channel = declared->id;
        type = port_data::findType(declared->dataType);
      }
    } else if (auto* sample = std::get_if<port_data::Sample>(&*record)) {
      if (!channel || sample->channel != *channel || !type) continue;
      auto value = port_data::decodeSample(*type, sample->octets);
      EXPECT_TRUE(value) << value.error();
      if (value) lines.push_back(port_data::formatLine(*type, *value));
    }
  }
  return lines;
}

// The planner repeats its last command between its cycles so that the base's watchdog does not
// brake a late cycle; how many repeats fall between two cycles depends on the machine's load.
// What the planner decided is the sequence with the repeats taken out.
std::vector<std::string> withoutRepeats(const std::vector<std::string>& lines) {
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    if (kept.empty() || kept.back() != line) kept.push_back(line);
  }
  return kept;
}

std::unique_ptr<ChildProcess> startRecorder(const NameServer& names,
                                            const std::vector<std::string>& arguments) {
  std::vector<std::string> all = {"-n", names.address(), "record"};
  all.insert(all.end(), arguments.begin(), arguments.end());
  auto recorder = std::make_unique<ChildProcess>(test_support::binPath("rtctl"), all);
  EXPECT_TRUE(recorder->waitForOutput("recording into", kStartTimeout)) << recorder->output();
  return recorder;
}

void stopRecorder(ChildProcess& recorder) {
  recorder.sendSignal(SIGINT);
  auto ended = recorder.waitForExit(kCommandTimeout);
  ASSERT_TRUE(ended.has_value()) << recorder.output();
  EXPECT_TRUE(ended->exitedWith(0)) << ended->describe() << "\n" << recorder.output();
}

TEST(PlannerReplay, aLonePlannerSendsTheRecordedCommandsAndWordsInTheSameOrder) {
  TempDir runFolder("planner-run-");
  TempDir replayFolder("planner-replay-");
  const std::string recording = runFolder.file("run.rec");
  const std::string replayed = replayFolder.file("replayed.rec");
  std::vector<std::string> commands;
  std::vector<std::string> words;
  {
    NameServer names;
    const std::string conf = prepareFolder(runFolder, names);
    ChildOptions inFolder;
    inFolder.workingDirectory = runFolder.path();
    ChildProcess base(test_support::binPath("BaseSimComp"), {"-f", conf}, inFolder);
    ChildProcess planner(test_support::binPath("TorvaneComp"), {"-f", conf}, inFolder);
    ChildProcess supervisor(test_support::binPath("RouteSupervisor"),
                            {"--arrival-timeout", "200", "--finish-timeout", "200", "--at-station",
                             "echo arm task done", "-f", conf},
                            inFolder);
    for (const char* name : {"BaseSim0.rtc", "Torvane0.rtc", "RouteSupervisor0.rtc"}) {
      ASSERT_TRUE(names.waitForBinding(name, kStartTimeout)) << name;
    }
    expectRtctl(names, {"connect", "Torvane0:robot_control", "BaseSim0:robot_control"});
    expectRtctl(names, {"connect", "BaseSim0:robot_pose", "Torvane0:robot_pose"});
    expectRtctl(names, {"connect", "BaseSim0:robot_velocity", "Torvane0:robot_velocity"});
    expectRtctl(names, {"connect", "Torvane0:RelativeMapService", "BaseSim0:RelativeMapService"});
    expectRtctl(names, {"connect", "RouteSupervisor0:route_command", "Torvane0:in_message"});
    expectRtctl(names, {"connect", "Torvane0:message", "RouteSupervisor0:route_report"});
    ASSERT_FALSE(::testing::Test::HasFailure());

    auto recorder =
        startRecorder(names, {recording, "BaseSim0:robot_pose", "BaseSim0:robot_velocity",
                              "RouteSupervisor0:route_command", "Torvane0:robot_control",
                              "Torvane0:message", "--service", "Torvane0:RelativeMapService"});
    // The supervisor's "ROBOT_START" waits in the planner's in-port for its first cycle.
    expectRtctl(names, {"activate", "BaseSim0", "RouteSupervisor0", "Torvane0"});
    const auto finished = supervisor.waitForExit(kRouteTimeout);
    ASSERT_TRUE(finished) << supervisor.output();
    EXPECT_TRUE(finished->exitedWith(0))
        << supervisor.output() << base.output() << planner.output();
    stopRecorder(*recorder);
    EXPECT_EQ(planner.countInOutput("Local map service is not connected"), 0) << planner.output();
    expectRtctl(names, {"exit", "BaseSim0", "Torvane0"});
    ASSERT_TRUE(base.waitForExit(kCommandTimeout));
    ASSERT_TRUE(planner.waitForExit(kCommandTimeout));
  }
  const std::size_t recordedCommandCount =
      recordedLines(recording, "Torvane0:robot_control").size();
  commands = withoutRepeats(recordedLines(recording, "Torvane0:robot_control"));
  words = recordedLines(recording, "Torvane0:message");
  // A whole route out and back turns and changes speed many times.
  ASSERT_GT(commands.size(), 20u);
  ASSERT_EQ(words, (std::vector<std::string>{"ROBOT_ARRIVED", "ROBOT_FINISH"}));

  NameServer names;
  const std::string conf = prepareFolder(replayFolder, names);
  ChildOptions inFolder;
  inFolder.workingDirectory = replayFolder.path();
  ChildProcess planner(test_support::binPath("TorvaneComp"), {"-f", conf}, inFolder);
  ASSERT_TRUE(names.waitForBinding("Torvane0.rtc", kStartTimeout));
  auto recorder = startRecorder(names, {replayed, "Torvane0:robot_control", "Torvane0:message"});
  ChildProcess replay(test_support::binPath("rtctl"), {"-n", names.address(), "replay", recording});
  ASSERT_TRUE(
      replay.waitForOutput("Torvane0:RelativeMapService.getFloatRelativeOGMap: ", kStartTimeout))
      << replay.output();
  expectRtctl(names, {"activate", "Torvane0"});
  const auto ended = replay.waitForExit(kRouteTimeout);
  ASSERT_TRUE(ended) << replay.output();
  EXPECT_TRUE(ended->exitedWith(0)) << replay.output();
  stopRecorder(*recorder);
  // The replay reports what it compared against; the number it saw itself includes the
  // planner's repeats, which follow the load.
  EXPECT_TRUE(std::regex_search(replay.standardOutput(),
                                std::regex("Torvane0:robot_control: [0-9]+ samples, " +
                                           std::to_string(recordedCommandCount) + " recorded")))
      << replay.output();

  // Beyond the recording the lone planner has no map and goes on alone: compare what the
  // recording covers.
  std::vector<std::string> replayedCommands =
      withoutRepeats(recordedLines(replayed, "Torvane0:robot_control"));
  ASSERT_GE(replayedCommands.size(), commands.size()) << replay.output();
  replayedCommands.resize(commands.size());
  for (size_t i = 0; i < commands.size(); ++i) {
    ASSERT_EQ(replayedCommands[i], commands[i]) << "command " << i + 1 << "\n" << replay.output();
  }
  EXPECT_EQ(recordedLines(replayed, "Torvane0:message"), words);
  EXPECT_NE(replay.standardOutput().find("all as recorded"), std::string::npos) << replay.output();
}

}  // namespace
