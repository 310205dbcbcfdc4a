#include "tools/rtctl/command_line.h"

#include <gtest/gtest.h>

#include "tools/rtctl/name_server_address.h"

namespace rtctl {
namespace {

ParsedCommandLine parse(std::vector<std::string> arguments, const char* variable = nullptr) {
  return parseCommandLine(arguments, variable);
}

TEST(RtctlCommandLine, nameServerComesFromOptionThenVariableThenDefault) {
  EXPECT_EQ(parse({"ls"}).invocation->nameServer, "localhost:2809");
  EXPECT_EQ(parse({"ls"}, "10.0.0.2:3000").invocation->nameServer, "10.0.0.2:3000");
  EXPECT_EQ(parse({"-n", "127.0.0.1:4000", "ls"}, "10.0.0.2:3000").invocation->nameServer,
            "127.0.0.1:4000");
  EXPECT_EQ(parse({"ls"}, "").invocation->nameServer, "localhost:2809");
}

TEST(RtctlCommandLine, connectTakesTwoPortsAndKeyValueProperties) {
  auto parsed = parse({"connect", "host.host_cxt/Talker0.rtc:out", "Listener0:in",
                       "subscription_type=new", "dataport.buffer.length=16"});
  ASSERT_TRUE(parsed.invocation) << parsed.error;
  const Invocation& invocation = *parsed.invocation;
  EXPECT_EQ(invocation.verb, Verb::Connect);
  ASSERT_EQ(invocation.ports.size(), 2u);
  EXPECT_EQ(invocation.ports[0].component, "host.host_cxt/Talker0.rtc");
  EXPECT_EQ(invocation.ports[0].port, "out");
  EXPECT_EQ(invocation.ports[1].component, "Listener0");
  ASSERT_EQ(invocation.properties.size(), 2u);
  EXPECT_EQ(invocation.properties[0],
            std::make_pair(std::string("subscription_type"), std::string("new")));
  EXPECT_EQ(invocation.properties[1].second, "16");
}

TEST(RtctlCommandLine, printOptionsFollowThePortAndDoNotClashWithTheNameServerOption) {
  auto parsed =
      parse({"-n", "127.0.0.1:5000", "print", "Talker0:out", "-n", "3", "--timeout", "2.5"});
  ASSERT_TRUE(parsed.invocation) << parsed.error;
  EXPECT_EQ(parsed.invocation->nameServer, "127.0.0.1:5000");
  EXPECT_EQ(parsed.invocation->count, 3);
  EXPECT_DOUBLE_EQ(*parsed.invocation->timeout_s, 2.5);
}

TEST(RtctlCommandLine, confWithAndWithoutSet) {
  auto show = parse({"conf", "Talker0"});
  ASSERT_TRUE(show.invocation);
  EXPECT_FALSE(show.invocation->confSet.has_value());
  auto set = parse({"conf", "Talker0", "set", "gain", "2.5"});
  ASSERT_TRUE(set.invocation);
  EXPECT_EQ(set.invocation->components, std::vector<std::string>{"Talker0"});
  EXPECT_EQ(set.invocation->confSet->first, "gain");
  EXPECT_EQ(set.invocation->confSet->second, "2.5");
}

TEST(RtctlCommandLine, injectKeepsTheTextWhole) {
  auto parsed = parse({"inject", "Palkett0:input", "HIRO_OBJ_MANIP_START now"});
  ASSERT_TRUE(parsed.invocation);
  EXPECT_EQ(parsed.invocation->text, "HIRO_OBJ_MANIP_START now");
  EXPECT_EQ(parsed.invocation->ports[0].port, "input");
}

TEST(RtctlCommandLine, systemFileCommandsTakeTheFileAndVariables) {
  auto parsed = parse({"apply", "robot.system", "--var", "BIN=/opt/mm/bin", "--var", "OUT=/tmp/x"});
  ASSERT_TRUE(parsed.invocation) << parsed.error;
  EXPECT_EQ(parsed.invocation->verb, Verb::Apply);
  EXPECT_EQ(parsed.invocation->systemFile.path, "robot.system");
  ASSERT_EQ(parsed.invocation->systemFile.variables.size(), 2u);
  EXPECT_EQ(parsed.invocation->systemFile.variables[0],
            std::make_pair(std::string("BIN"), std::string("/opt/mm/bin")));
  EXPECT_FALSE(parsed.invocation->nameServerGiven);

  auto check = parse({"-n", "10.0.0.5:2809", "check", "--file-only", "robot.system"});
  ASSERT_TRUE(check.invocation) << check.error;
  EXPECT_TRUE(check.invocation->fileOnly);
  EXPECT_TRUE(check.invocation->nameServerGiven);
}

TEST(RtctlCommandLine, launchOptionsHaveDefaultsThatCanBeChanged) {
  auto plain = parse({"launch", "demo.system"});
  ASSERT_TRUE(plain.invocation) << plain.error;
  EXPECT_FALSE(plain.invocation->launch.respawnAll);
  EXPECT_FALSE(plain.invocation->launch.exitOnFailure);
  EXPECT_EQ(plain.invocation->launch.outDir, "rtctl-launch");
  EXPECT_DOUBLE_EQ(plain.invocation->launch.startTimeout_s, 30);
  EXPECT_DOUBLE_EQ(plain.invocation->launch.answerTimeout_s, 0.4);

  auto changed = parse({"launch", "demo.system", "--respawn", "--exit-on-failure", "--out", "run",
                        "--start-timeout", "60", "--answer-timeout", "2"});
  ASSERT_TRUE(changed.invocation) << changed.error;
  EXPECT_TRUE(changed.invocation->launch.respawnAll);
  EXPECT_TRUE(changed.invocation->launch.exitOnFailure);
  EXPECT_EQ(changed.invocation->launch.outDir, "run");
  EXPECT_DOUBLE_EQ(changed.invocation->launch.startTimeout_s, 60);
  EXPECT_DOUBLE_EQ(changed.invocation->launch.answerTimeout_s, 2);
}

TEST(RtctlCommandLine, waitTakesAPatternATimeoutAndARequestToSend) {
  auto parsed = parse({"wait", "Torvane0:message", "ROBOT_ARRIVED|ROBOT_FINISH", "--timeout", "400",
                       "--send", "Torvane0:in_message", "ROBOT_START"});
  ASSERT_TRUE(parsed.invocation) << parsed.error;
  EXPECT_EQ(parsed.invocation->verb, Verb::Wait);
  EXPECT_EQ(parsed.invocation->ports[0].port, "message");
  EXPECT_EQ(parsed.invocation->pattern, "ROBOT_ARRIVED|ROBOT_FINISH");
  EXPECT_DOUBLE_EQ(*parsed.invocation->timeout_s, 400);
  ASSERT_TRUE(parsed.invocation->send);
  EXPECT_EQ(parsed.invocation->send->first.port, "in_message");
  EXPECT_EQ(parsed.invocation->send->second, "ROBOT_START");
}

TEST(RtctlCommandLine, namesCommandsAndWatch) {
  auto removed = parse({"delete", "Torvane0", "--force"});
  ASSERT_TRUE(removed.invocation) << removed.error;
  EXPECT_EQ(removed.invocation->verb, Verb::Delete);
  EXPECT_TRUE(removed.invocation->force);
  EXPECT_EQ(parse({"clean"}).invocation->verb, Verb::Clean);
  auto watch = parse({"watch", "Brisko0", "Palkett0", "--interval", "0.2"});
  ASSERT_TRUE(watch.invocation) << watch.error;
  EXPECT_EQ(watch.invocation->components, (std::vector<std::string>{"Brisko0", "Palkett0"}));
  EXPECT_DOUBLE_EQ(watch.invocation->interval_s, 0.2);
  auto capture = parse({"capture", "-o", "now.system"});
  ASSERT_TRUE(capture.invocation) << capture.error;
  EXPECT_TRUE(capture.invocation->components.empty());
  EXPECT_EQ(capture.invocation->outputFile, "now.system");
}

TEST(RtctlCommandLine, malformedCommandLinesGiveOneClearError) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"frobnicate"},
      {"-x", "ls"},
      {"-n"},
      {"-n", "host:notaport", "ls"},
      {"-n", "host:70000", "ls"},
      {"ls", "extra"},
      {"cat"},
      {"activate"},
      {"connect", "A:out"},
      {"connect", "A:out", "B"},
      {"connect", "A:out", "B:in", "novalue"},
      {"connect", "A:out", "B:in", "=x"},
      {"conf", "A", "set", "key"},
      {"inject", "A:in"},
      {"print", "A:out", "-n", "0"},
      {"print", "A:out", "-n", "many"},
      {"print", "A:out", "--timeout", "-1"},
      {"print", "A:out", "--timeout"},
      {"print", "A:out", "--follow", "1"},
      {"print", ":out"},
      {"print", "A:"},
      {"print", "A:out", "B:in"},
      {"wait", "A:out"},
      {"wait", "A:out", "("},
      {"wait", "A:out", "x", "--send", "B:in"},
      {"wait", "A:out", "x", "--send", "B", "text"},
      {"apply"},
      {"apply", "a.system", "--var", "NOVALUE"},
      {"launch", "a.system", "--answer-timeout", "0"},
      {"check", "a.system", "--unknown"},
      {"delete"},
      {"delete", "A", "B"},
      {"cat", "A", "B"},
      {"conf", "A", "get", "k", "v"},
      {"clean", "extra"},
  };
  for (const auto& arguments : bad) {
    auto parsed = parse(arguments);
    std::string shown;
    for (const auto& argument : arguments) shown += argument + " ";
    EXPECT_FALSE(parsed.invocation.has_value()) << shown;
    EXPECT_FALSE(parsed.error.empty()) << shown;
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << shown;
    EXPECT_FALSE(parsed.usage.empty()) << shown;
  }
}

TEST(RtctlCommandLine, helpAndVersionAreNotErrors) {
  auto help = parse({"--help"});
  EXPECT_FALSE(help.invocation);
  EXPECT_TRUE(help.error.empty());
  for (const char* command : {"launch", "apply", "check", "wait", "inject", "print"}) {
    EXPECT_NE(help.help.find(command), std::string::npos) << command;
  }
  auto commandHelp = parse({"launch", "--help"});
  EXPECT_TRUE(commandHelp.error.empty());
  EXPECT_NE(commandHelp.help.find("--respawn"), std::string::npos) << commandHelp.help;
  auto version = parse({"--version"});
  EXPECT_TRUE(version.error.empty());
  EXPECT_EQ(version.help.rfind("rtctl ", 0), 0u) << version.help;
  EXPECT_EQ(usageText(), help.help);
}

TEST(RtctlCommandLine, printTakesAFormatAndAnImageFolder) {
  auto parsed = parse({"print", "Torvane0:planning_img", "--format", "json", "--save", "frames"});
  ASSERT_TRUE(parsed.invocation) << parsed.error;
  EXPECT_EQ(parsed.invocation->portData.format, SampleFormat::Json);
  EXPECT_EQ(parsed.invocation->portData.saveFolder, "frames");
  EXPECT_EQ(parse({"print", "A:out"}).invocation->portData.format, SampleFormat::Text);
}

TEST(RtctlCommandLine, injectTakesOneTextOrReadsLinesFromAFile) {
  auto lines =
      parse({"inject", "Palkett0:input", "--file", "-", "--format", "json", "--rate", "20"});
  ASSERT_TRUE(lines.invocation) << lines.error;
  EXPECT_EQ(lines.invocation->portData.inputFile, "-");
  EXPECT_EQ(lines.invocation->portData.format, SampleFormat::Json);
  EXPECT_DOUBLE_EQ(*lines.invocation->portData.rate_hz, 20.0);
  auto repeated =
      parse({"inject", "BaseSim0:robot_control", "data: {vx: 0.1}", "--rate", "10", "-n", "50"});
  ASSERT_TRUE(repeated.invocation) << repeated.error;
  EXPECT_EQ(repeated.invocation->text, "data: {vx: 0.1}");
  EXPECT_FALSE(repeated.invocation->portData.inputFile);
  EXPECT_EQ(repeated.invocation->count, 50);
  EXPECT_NE(parse({"inject", "A:in", "text", "-n", "5"}).error.find("--rate"), std::string::npos);
  EXPECT_NE(parse({"inject", "A:in"}).error.find("--file"), std::string::npos);
}

TEST(RtctlCommandLine, hzRecordAndReplayTakeTheirOptions) {
  auto hz = parse({"hz", "Torvane0:planning_img", "--window", "50", "--duration", "10"});
  ASSERT_TRUE(hz.invocation) << hz.error;
  EXPECT_EQ(hz.invocation->verb, Verb::Hz);
  EXPECT_EQ(hz.invocation->ports[0].port, "planning_img");
  EXPECT_EQ(hz.invocation->portData.window, 50);
  EXPECT_DOUBLE_EQ(*hz.invocation->portData.duration_s, 10.0);

  auto record = parse({"record", "run.rec", "BaseSim0:robot_pose", "Torvane0:robot_control",
                       "--service", "Torvane0:RelativeMapService", "--duration", "30"});
  ASSERT_TRUE(record.invocation) << record.error;
  EXPECT_EQ(record.invocation->verb, Verb::Record);
  EXPECT_EQ(record.invocation->portData.recording, "run.rec");
  ASSERT_EQ(record.invocation->ports.size(), 2u);
  EXPECT_EQ(record.invocation->ports[1].port, "robot_control");
  ASSERT_EQ(record.invocation->portData.services.size(), 1u);
  EXPECT_EQ(record.invocation->portData.services[0].component, "Torvane0");
  EXPECT_DOUBLE_EQ(*record.invocation->portData.duration_s, 30.0);
  auto info = parse({"record", "--info", "run.rec"});
  ASSERT_TRUE(info.invocation) << info.error;
  EXPECT_TRUE(info.invocation->portData.info);

  auto replay = parse({"replay", "run.rec", "--rate", "10", "--map",
                       "BaseSim0:robot_pose=Torvane1:robot_pose", "--sync-timeout", "5"});
  ASSERT_TRUE(replay.invocation) << replay.error;
  EXPECT_DOUBLE_EQ(replay.invocation->portData.replayRate, 10.0);
  EXPECT_DOUBLE_EQ(replay.invocation->portData.syncTimeout_s, 5.0);
  ASSERT_EQ(replay.invocation->portData.mappings.size(), 1u);
  EXPECT_EQ(replay.invocation->portData.mappings[0].recorded, "BaseSim0:robot_pose");
  EXPECT_EQ(replay.invocation->portData.mappings[0].target.component, "Torvane1");
  EXPECT_DOUBLE_EQ(parse({"replay", "run.rec"}).invocation->portData.replayRate, 1.0);
}

TEST(RtctlCommandLine, portDataMistakesGiveOneLineAndTheUsage) {
  const std::vector<std::vector<std::string>> bad = {
      {"inject"},
      {"inject", "A:in", "text", "--file", "words.txt"},
      {"inject", "A:in", "--file", "words.txt", "-n", "3"},
      {"inject", "A:in", "text", "--rate", "0"},
      {"print", "A:out", "--format", "xml"},
      {"hz", "A:out", "--window", "0"},
      {"hz", "A:out", "--window", "-3"},
      {"hz", "A:out", "--duration", "soon"},
      {"record", "run.rec"},
      {"record", "--info", "run.rec", "A:out"},
      {"record", "run.rec", "A:"},
      {"record", "run.rec", "--service", "A"},
      {"replay"},
      {"replay", "run.rec", "--map", "A:out"},
      {"replay", "run.rec", "--map", "=B:in"},
      {"replay", "run.rec", "--rate", "0"},
  };
  for (const auto& arguments : bad) {
    auto parsed = parse(arguments);
    std::string shown;
    for (const auto& argument : arguments) shown += argument + " ";
    EXPECT_FALSE(parsed.invocation.has_value()) << shown;
    EXPECT_FALSE(parsed.error.empty()) << shown;
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << shown << parsed.error;
    EXPECT_FALSE(parsed.usage.empty()) << shown;
  }
  auto help = parse({"record", "--help"});
  EXPECT_TRUE(help.error.empty());
  EXPECT_NE(help.help.find("--service"), std::string::npos) << help.help;
  for (const char* command : {"hz", "record", "replay"}) {
    EXPECT_NE(usageText().find(command), std::string::npos) << command;
  }
}

TEST(RtctlNameServerAddress, becomesACorbalocOrIsRejected) {
  using namespace name_service;
  EXPECT_EQ(nameServiceLocation("127.0.0.1:2809"), "corbaloc::127.0.0.1:2809/NameService");
  EXPECT_EQ(nameServiceLocation("robot-pc"), "corbaloc::robot-pc/NameService");
  EXPECT_EQ(nameServiceLocation(""), "");
  EXPECT_EQ(nameServiceLocation("a/b:1"), "");
  EXPECT_EQ(nameServiceLocation(":2809"), "");
  EXPECT_EQ(nameServiceLocation("host:65536"), "");
  EXPECT_TRUE(isLoopbackAddress("127.0.0.1:2809"));
  EXPECT_TRUE(isLoopbackAddress("localhost:2809"));
  EXPECT_FALSE(isLoopbackAddress("192.168.1.2:2809"));
  EXPECT_EQ(hostOf("192.168.1.2:2900"), "192.168.1.2");
  EXPECT_EQ(portOf("192.168.1.2:2900"), 2900);
  EXPECT_EQ(portOf("robot-pc"), 2809);
}

TEST(RtctlNameServerAddress, aSocketPathIsReachedOverUnixDomainSockets) {
  using namespace name_service;
  EXPECT_EQ(nameServiceLocation("/run/user/1000/robot/names.sock"),
            "corbaloc:omniunix:/run/user/1000/robot/names.sock:/NameService");
  EXPECT_TRUE(isUnixSocketAddress("/run/user/1000/robot/names.sock"));
  EXPECT_FALSE(isUnixSocketAddress("127.0.0.1:2809"));
  EXPECT_FALSE(isLoopbackAddress("/tmp/names.sock"));
  EXPECT_EQ(socketFolderOf("/run/user/1000/robot/names.sock"), "/run/user/1000/robot");
  EXPECT_EQ(socketFolderOf("/names.sock"), "/");
  // The corbaloc cannot carry a ':' in the path; a folder is no socket.
  EXPECT_EQ(nameServiceLocation("/tmp/a:b/names.sock"), "");
  EXPECT_EQ(nameServiceLocation("/tmp/robot/"), "");
  EXPECT_EQ(nameServiceLocation("/tmp/two words"), "");
  EXPECT_EQ(parse({"-n", "/tmp/robot/names.sock", "ls"}).error, "");
}

TEST(RtctlPortAddress, splitsAtTheLastColon) {
  auto address = parsePortAddress("ctx.host_cxt/Brisko0.rtc:BriskoService");
  ASSERT_TRUE(address);
  EXPECT_EQ(address->component, "ctx.host_cxt/Brisko0.rtc");
  EXPECT_EQ(address->port, "BriskoService");
  EXPECT_FALSE(parsePortAddress("NoPort"));
}

}  // namespace
}  // namespace rtctl
