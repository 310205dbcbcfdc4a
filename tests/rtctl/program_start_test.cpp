#include "tools/rtctl/program_start.h"

#include "tools/rtctl/private_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "tests/support/temp_dir.h"

namespace rtctl {
namespace {

namespace fs = std::filesystem;

class ProgramStartTest : public ::testing::Test {
 protected:
  ProgramStartTest() {
    program = dir.file("bin/Comp");
    fs::create_directories(dir.file("bin"));
    test_support::writeFile(program, "#!/bin/sh\n");
    chmod(program.c_str(), 0755);
    test_support::writeFile(dir.file("base.conf"), "logger.enable: YES\nexec_cxt.periodic.rate: 5");
  }

  SystemFile read(const std::string& text) {
    SystemFileRead result = parseSystemFile(text, "t.system", dir.path(), {});
    EXPECT_TRUE(result.file) << result.error;
    return result.file.value_or(SystemFile{});
  }

  ProgramStartPlan plan(const SystemFile& file, size_t index = 0) {
    return planProgramStart(file, file.programs.at(index), "127.0.0.1:4000", dir.file("out"));
  }

  test_support::TempDir dir{"rtctl-start-"};
  std::string program;
};

TEST_F(ProgramStartTest, aComponentProgramGetsItsRtcConfWrittenInItsOwnFolderAndPassedWithF) {
  SystemFile file = read(
      "program comp components=C0 conf=base.conf set=exec_cxt.periodic.rate:10 "
      "env=A=1 -- bin/Comp --scene x\n");
  ProgramStartPlan result = plan(file);
  ASSERT_TRUE(result.start) << result.problems.at(0);
  const ProgramStart& start = *result.start;
  EXPECT_EQ(start.workingFolder, dir.file("out/run/comp"));
  EXPECT_EQ(start.logPath, dir.file("out/logs/comp.log"));
  EXPECT_EQ(start.confPath, dir.file("out/run/comp/rtc.conf"));
  EXPECT_EQ(start.argv, (std::vector<std::string>{program, "-f", start.confPath, "--scene", "x"}));
  EXPECT_EQ(start.environment[0], std::make_pair(std::string("A"), std::string("1")));
  EXPECT_EQ(start.confText.rfind(kWrittenConfMarker, 0), 0u);
  // The source first, then launch's own lines, which win where a key comes twice.
  size_t source = start.confText.find("exec_cxt.periodic.rate: 5\n");
  size_t own = start.confText.find("exec_cxt.periodic.rate: 10\n");
  size_t names = start.confText.find("corba.nameservers: 127.0.0.1:4000\n");
  ASSERT_NE(source, std::string::npos) << start.confText;
  EXPECT_LT(source, own);
  EXPECT_LT(own, names);
  EXPECT_EQ(start.confText.find("corba.endpoints"), std::string::npos) << start.confText;
}

TEST_F(ProgramStartTest, aProgramOnADeclaredHostListensOnItsAddressAndIsNamedAfterIt) {
  SystemFile file = read(
      "host robot 198.18.0.2 via=\"ip netns exec robot\"\n"
      "program comp host=robot -- bin/Comp\n");
  ProgramStartPlan result = plan(file);
  ASSERT_TRUE(result.start) << result.problems.at(0);
  EXPECT_EQ(result.start->argv[0], findProgram("ip"));
  EXPECT_EQ(result.start->argv[3], "robot");
  EXPECT_EQ(result.start->argv[4], program);  // not looked for here: it is the host's
  EXPECT_NE(result.start->confText.find("corba.endpoints: 198.18.0.2:\n"), std::string::npos);
  EXPECT_NE(result.start->confText.find("naming.formats: robot.host_cxt/%n.rtc\n"),
            std::string::npos);
}

TEST_F(ProgramStartTest, aPrivateSystemListensOnlyOnSocketsBesideTheNameServersKeepingOrbOptions) {
  test_support::writeFile(dir.file("tcp.conf"),
                          "corba.endpoints: 127.0.0.1:\ncorba.args: -ORBtraceLevel 5\n");
  SystemFile file = read("program comp conf=tcp.conf -- bin/Comp\n");
  ProgramStartPlan result =
      planProgramStart(file, file.programs.at(0), "/run/owner/robot/names.sock", dir.file("out"));
  ASSERT_TRUE(result.start) << result.problems.at(0);
  const std::string& conf = result.start->confText;
  // Launch's lines come last and win over the source's TCP endpoint.
  size_t tcp = conf.find("corba.endpoints: 127.0.0.1:\n");
  size_t none = conf.find("corba.endpoints: \n");
  ASSERT_NE(tcp, std::string::npos) << conf;
  EXPECT_LT(tcp, none) << conf;
  EXPECT_NE(conf.find("corba.nameservers: corbaloc:omniunix:/run/owner/robot/names.sock:/"
                      "NameService\n"),
            std::string::npos)
      << conf;
  EXPECT_NE(conf.find("corba.args: -ORBtraceLevel 5 -ORBendPoint giop:unix: "
                      "-ORBunixTransportDirectory /run/owner/robot "
                      "-ORBunixTransportPermission 0600\n"),
            std::string::npos)
      << conf;
}

TEST_F(ProgramStartTest, aPrivateSystemRunsOnNoOtherHost) {
  SystemFile file = read(
      "host robot 198.18.0.2 via=\"ip netns exec robot\"\n"
      "program comp host=robot -- bin/Comp\n");
  ProgramStartPlan result =
      planProgramStart(file, file.programs.at(0), "/run/owner/robot/names.sock", dir.file("out"));
  EXPECT_FALSE(result.start);
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0],
            "t.system:2: comp: runs on host robot, but a system whose name server is a Unix "
            "socket is private to this machine");
}

TEST(PrivateFolder, isMadeForItsOwnerAloneAndAFolderOthersCanOpenIsRefused) {
  test_support::TempDir dir{"rtctl-private-"};
  const std::string folder = dir.file("a/robot");
  EXPECT_EQ(preparePrivateFolder(folder), "");
  struct stat status {};
  ASSERT_EQ(stat(folder.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  EXPECT_EQ(preparePrivateFolder(folder), "");  // ready as it is

  chmod(folder.c_str(), 0750);
  EXPECT_EQ(preparePrivateFolder(folder),
            folder + " can be opened by other users (mode 0750): chmod 700 " + folder +
                ", or name a folder of your own");
  const std::string tooLong = dir.file(std::string(100, 'x'));
  EXPECT_NE(preparePrivateFolder(tooLong).find("is too long for Unix sockets in it"),
            std::string::npos);
  test_support::writeFile(dir.file("plain"), "");
  EXPECT_EQ(preparePrivateFolder(dir.file("plain")), dir.file("plain") + " is not a folder");
}

TEST(PrivateFolder, confValuesAreReadAsTheComponentsReadThem) {
  const std::string conf =
      "# corba.args: no\ncorba.args: -a 1\n  corba.args = -b 2 \n"
      "corba.argsX: -c\n";
  EXPECT_EQ(confValueOf(conf, "corba.args"), "-b 2");
  EXPECT_EQ(confValueOf(conf, "corba.endpoints"), "");
}

TEST_F(ProgramStartTest, aLauncherThatIsNoProgramHereIsNamed) {
  ProgramStartPlan result =
      plan(read("host far 10.0.0.2 via=no-such-launcher\nprogram comp host=far -- bin/Comp\n"));
  EXPECT_FALSE(result.start);
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0],
            "t.system:2: comp: its host's launcher no-such-launcher is no program here "
            "(t.system:1)");
}

TEST_F(ProgramStartTest, aProgramThatIsNotAComponentProgramGetsNoRtcConf) {
  ProgramStartPlan result = plan(read("program helper conf=none -- bin/Comp -f own.conf\n"));
  ASSERT_TRUE(result.start);
  EXPECT_EQ(result.start->confPath, "");
  EXPECT_EQ(result.start->argv, (std::vector<std::string>{program, "-f", "own.conf"}));
}

TEST_F(ProgramStartTest, everythingInTheWayIsNamedWithItsLineBeforeAnythingStarts) {
  fs::create_directories(dir.file("mine"));
  test_support::writeFile(dir.file("mine/rtc.conf"), "corba.nameservers: robot\n");
  ProgramStartPlan result =
      plan(read("\nprogram comp dir=mine conf=missing.conf "
                "needs=MotionSet.mtn -- bin/NoSuchComp\n"));
  EXPECT_FALSE(result.start);
  ASSERT_EQ(result.problems.size(), 4u);
  for (const std::string& problem : result.problems) {
    EXPECT_EQ(problem.rfind("t.system:2: comp: ", 0), 0u) << problem;
  }
  EXPECT_NE(result.problems[0].find("bin/NoSuchComp: no such program"), std::string::npos);
  EXPECT_NE(result.problems[1].find("missing.conf cannot be read"), std::string::npos);
  EXPECT_NE(result.problems[2].find("was not written by rtctl launch"), std::string::npos);
  EXPECT_NE(
      result.problems[3].find("needs " + dir.file("mine/MotionSet.mtn") + ", which is missing"),
      std::string::npos);
  SystemFile present = read("program comp dir=mine needs=rtc.conf -- bin/Comp\n");
  EXPECT_TRUE(missingFiles(present, present.programs[0], dir.path()).empty());
}

TEST_F(ProgramStartTest, anRtcConfLaunchWroteItselfIsWrittenAgain) {
  fs::create_directories(dir.file("mine"));
  test_support::writeFile(dir.file("mine/rtc.conf"),
                          composeRtcConf("for comp", "", {{"corba.nameservers", "x"}}));
  EXPECT_TRUE(plan(read("program comp dir=mine -- bin/Comp\n")).start);
}

TEST_F(ProgramStartTest, programsAreFoundInThePathOrByTheirPath) {
  EXPECT_EQ(findProgram("sh").empty(), false);
  EXPECT_EQ(findProgram(program), program);
  EXPECT_EQ(findProgram(dir.file("base.conf")), "");  // not executable
  EXPECT_EQ(findProgram("rtctl-test-no-such-program"), "");
}

}  // namespace
}  // namespace rtctl
