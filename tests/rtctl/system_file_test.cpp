#include "tools/rtctl/system_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace rtctl {
namespace {

VariableLookup from(std::vector<std::pair<std::string, std::string>> values) {
  return variablesFrom(std::move(values), false);
}

SystemFile parsed(const std::string& text,
                  std::vector<std::pair<std::string, std::string>> variables = {}) {
  SystemFileRead read = parseSystemFile(text, "my.system", "/sys", from(std::move(variables)));
  EXPECT_EQ(read.error, "");
  return read.file.value_or(SystemFile{});
}

std::string errorOf(const std::string& text) {
  return parseSystemFile(text, "my.system", "/sys", from({})).error;
}

TEST(SystemFile, linesOfTheLiveSystemKeepTheirOrderAndPlace) {
  SystemFile file = parsed(
      "# comment\n"
      "connect A0:out B0:in dataflow_type=push\n"
      "disconnect A0:out C0:in\n"
      "conf A0 set plan ${PLAN}\n"
      "activate B0\n"
      "deactivate C0\n",
      {{"PLAN", "/plans/one"}});
  ASSERT_EQ(file.actions.size(), 5u);
  const Action& connect = file.actions[0];
  EXPECT_EQ(connect.kind, ActionKind::Connect);
  EXPECT_EQ(connect.place.text(), "my.system:2");
  EXPECT_EQ(connect.ports[0].component, "A0");
  EXPECT_EQ(connect.ports[1].port, "in");
  EXPECT_EQ(connect.text(), "connect A0:out B0:in dataflow_type=push");
  EXPECT_EQ(file.actions[1].kind, ActionKind::Disconnect);
  EXPECT_EQ(file.actions[2].text(), "conf A0 set plan /plans/one");
  EXPECT_EQ(file.actions[3].text(), "activate B0");
  EXPECT_EQ(file.actions[4].place.line, 6);
  EXPECT_EQ(file.componentNames(), (std::vector<std::string>{"A0", "B0", "C0"}));
}

TEST(SystemFile, programsSayWhatRunsWhereWithWhichFiles) {
  SystemFile file = parsed(
      "host robot 198.18.0.2 via=\"ip netns exec robot\"\n"
      "program gateway components=Brisko0 host=robot dir=run/gw conf=conf/gw.conf \\\n"
      "    set=exec_cxt.periodic.rate:1 env=LANG=C needs=pose.csv,/abs/lib.so respawn \\\n"
      "    -- bin/BriskoComp --extra \"two words\"\n"
      "program viewer components=PlanViewer0,Other0 optional conf=none -- PlanViewer -f x\n");
  ASSERT_EQ(file.programs.size(), 2u);
  const ProgramEntry& gateway = file.programs[0];
  EXPECT_EQ(gateway.label, "gateway");
  EXPECT_EQ(gateway.place.line, 2);
  EXPECT_EQ(gateway.host, "robot");
  EXPECT_EQ(gateway.workingFolder, "/sys/run/gw");
  EXPECT_EQ(gateway.confSource, "/sys/conf/gw.conf");
  EXPECT_TRUE(gateway.writesConf);
  EXPECT_EQ(gateway.confValues[0],
            std::make_pair(std::string("exec_cxt.periodic.rate"), std::string("1")));
  EXPECT_EQ(gateway.environment[0], std::make_pair(std::string("LANG"), std::string("C")));
  EXPECT_EQ(gateway.neededFiles, (std::vector<std::string>{"pose.csv", "/abs/lib.so"}));
  EXPECT_TRUE(gateway.respawn);
  EXPECT_FALSE(gateway.optional);
  EXPECT_EQ(gateway.command,
            (std::vector<std::string>{"/sys/bin/BriskoComp", "--extra", "two words"}));
  const ProgramEntry& viewer = file.programs[1];
  EXPECT_EQ(viewer.host, kLocalHost);
  EXPECT_TRUE(viewer.optional);
  EXPECT_FALSE(viewer.writesConf);
  EXPECT_EQ(viewer.command[0], "PlanViewer");  // found in $PATH when launched
  EXPECT_EQ(file.programOf("Other0"), &viewer);
  EXPECT_EQ(file.programOf("Nobody0"), nullptr);

  const HostEntry& robot = file.host("robot");
  EXPECT_EQ(robot.address, "198.18.0.2");
  EXPECT_EQ(robot.launcher, (std::vector<std::string>{"ip", "netns", "exec", "robot"}));
  EXPECT_TRUE(robot.declared);
  EXPECT_EQ(file.host(kLocalHost).address, kLocalAddress);
  EXPECT_FALSE(file.host(kLocalHost).declared);
}

TEST(SystemFile, theNameServerLineGivesAnAddressAStartOrBoth) {
  EXPECT_FALSE(parsed("activate A0\n").nameServer);
  SystemFile started = parsed("nameserver start\n");
  EXPECT_TRUE(started.startNameServer);
  EXPECT_FALSE(started.nameServer);
  SystemFile both = parsed("nameserver 10.0.0.1:2900 start\n");
  EXPECT_EQ(*both.nameServer, "10.0.0.1:2900");
  EXPECT_TRUE(both.startNameServer);
  EXPECT_EQ(both.nameServerPlace.line, 1);
}

TEST(SystemFile, everyKindOfMistakeIsRefusedWithItsFileAndLine) {
  struct Case {
    std::string text;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"connect A0:out", "my.system:1: connect needs two NAME:port arguments"},
      {"connect A0:out B0", "my.system:1: not a NAME:port: B0"},
      {"connect A0:out B0:in flow", "my.system:1: not a key=value: flow"},
      {"disconnect A0:out B0:in x=y", "my.system:1: disconnect takes no properties"},
      {"activate A0\nactivate", "my.system:2: activate needs exactly one component name"},
      {"activate A0 B0", "my.system:1: activate needs exactly one component name"},
      {"conf A0 get x y", "my.system:1: conf needs: NAME set KEY VALUE"},
      {"launch A0", "my.system:1: unknown command: launch"},
      {"conf A0 set k ${MISSING}", "my.system:1: unknown variable ${MISSING}"},
      {"host a", "my.system:1: host needs: NAME ADDRESS [via=COMMAND]"},
      {"host a 1.2.3.4\nhost a 1.2.3.5", "my.system:2: host a is already declared at line 1"},
      {"host a 1.2.3.4 ssh", "my.system:1: expected via=COMMAND, got ssh"},
      {"nameserver", "my.system:1: nameserver needs: [HOST:PORT] [start]"},
      {"nameserver start\nnameserver start", "my.system:2: nameserver is already given at line 1"},
      {"nameserver host:notaport",
       "my.system:1: nameserver needs: [HOST:PORT] [start], got "
       "host:notaport"},
      {"program", "my.system:1: program needs: LABEL [OPTION...] -- COMMAND [ARGUMENT...]"},
      {"program a components=A0",
       "my.system:1: program a needs -- COMMAND [ARGUMENT...] after its "
       "options"},
      {"program a colour=red -- x", "my.system:1: unknown program option colour=red"},
      {"program a -- x\nprogram a -- y", "my.system:2: program a is already declared at line 1"},
      {"program a components=A0 -- x\nprogram b components=B0,A0 -- y",
       "my.system:2: A0 is already the component of program a (line 1)"},
      {"program a host=robot -- x", "my.system:1: unknown host \"robot\""},
      {"program a dir=run -- x\nprogram b dir=run -- y",
       "my.system:2: b and a share the working folder /sys/run"},
      {"program a -- x -f my.conf", "my.system:1: a: give its rtc.conf with conf=FILE, not -f"},
      {"program a conf=none set=k:v -- x", "my.system:1: a: set= adds to the rtc.conf"},
      {"program a env=novalue -- x", "my.system:1: env= needs NAME=VALUE, got novalue"},
      {"program a set=novalue -- x", "my.system:1: set= needs KEY:VALUE"},
  };
  for (const Case& bad : cases) {
    std::string error = errorOf(bad.text);
    EXPECT_EQ(error.rfind(bad.error, 0), 0u) << bad.text << "\n  gave: " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(SystemFile, programsWithoutAFolderOfTheirOwnOrWithoutAnRtcConfMayShare) {
  SystemFile file = parsed(
      "program a -- x\nprogram b -- y\n"
      "program c dir=run conf=none -- x\nprogram d dir=run conf=none -- y\n");
  EXPECT_EQ(file.programs.size(), 4u);
}

TEST(SystemFile, readingAFileTakesVariablesFromTheCommandLineThenTheEnvironment) {
  std::string path = ::testing::TempDir() + "/variables.system";
  std::ofstream(path) << "conf A0 set a ${RTCTL_TEST_GIVEN}\nconf A0 set b ${HOME}\n";
  SystemFileRead read =
      readSystemFile(path, {{"RTCTL_TEST_GIVEN", "first"}, {"RTCTL_TEST_GIVEN", "second"}});
  ASSERT_TRUE(read.file) << read.error;
  EXPECT_EQ(read.file->actions[0].value, "second");
  EXPECT_EQ(read.file->actions[1].value, std::getenv("HOME"));
  EXPECT_EQ(readSystemFile(path + ".missing", {}).error, path + ".missing: cannot be read");
}

// The system files shipped with the project read without a fault and name what they must.
TEST(SystemFile, theShippedDemoAndRobotFilesAreValid) {
  const std::vector<std::pair<std::string, std::string>> given = {{"BIN", "/b"},
                                                                  {"OUT", "/o"},
                                                                  {"SCENE", "/s.scene"},
                                                                  {"BUILDING", "/p.plan"},
                                                                  {"TIME_SCALE", "1"},
                                                                  {"RUN", "/r"},
                                                                  {"CONTROLLER", "C0"},
                                                                  {"HIRO", "H0"},
                                                                  {"HIRONX", "N0"},
                                                                  {"ESTIMATION", "E0"},
                                                                  {"BASE", "B0"},
                                                                  {"MAP", "M0"},
                                                                  {"PLANNER_RATE_HZ", "10"},
                                                                  {"BASE_RATE_HZ", "50"}};
  SystemFileRead demo =
      readSystemFile(RTCTL_TEST_PROJECT_ROOT "/scripts/system/demo.system", given);
  ASSERT_TRUE(demo.file) << demo.error;
  EXPECT_TRUE(demo.file->startNameServer);
  ASSERT_NE(demo.file->programOf("Torvane0"), nullptr);
  EXPECT_EQ(demo.file->programOf("Torvane0")->neededFiles,
            std::vector<std::string>{"MotionSet.mtn"});
  EXPECT_TRUE(demo.file->programOf("PlanViewer0")->optional);
  for (const std::string& component : demo.file->componentNames()) {
    EXPECT_NE(demo.file->programOf(component), nullptr) << component << " has no program";
  }
  SystemFileRead robot =
      readSystemFile(RTCTL_TEST_PROJECT_ROOT "/scripts/system/robot.system", given);
  ASSERT_TRUE(robot.file) << robot.error;
  EXPECT_EQ(robot.file->programs.size(), 3u);
  EXPECT_TRUE(robot.file->host("operator-pc").declared);
}

}  // namespace
}  // namespace rtctl
