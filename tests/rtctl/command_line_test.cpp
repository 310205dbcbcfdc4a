#include "tools/rtctl/command_line.h"

#include <gtest/gtest.h>

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
      {"inject"},
      {"inject", "A:in", "text", "--file", "words.txt"},
      {"hz", "A:out", "--window", "0"},
      {"record", "run.rec"},
      {"record", "--info", "run.rec", "A:out"},
      {"replay"},
      {"replay", "run.rec", "--map", "A:out"},
      {"replay", "run.rec", "--rate", "0"},
      {"print", "A:out", "--format", "xml"},
      {"print", "A:out", "-n", "0"},
      {"print", "A:out", "-n", "many"},
      {"print", "A:out", "--timeout", "-1"},
      {"print", "A:out", "--timeout"},
      {"print", "A:out", "--follow", "1"},
      {"print", ":out"},
      {"print", "A:"},
  };
  for (const auto& arguments : bad) {
    auto parsed = parse(arguments);
    std::string shown;
    for (const auto& argument : arguments) shown += argument + " ";
    EXPECT_FALSE(parsed.invocation.has_value()) << shown;
    EXPECT_FALSE(parsed.error.empty()) << shown;
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << shown;
  }
}

TEST(RtctlCommandLine, helpIsNotAnError) {
  auto parsed = parse({"--help"});
  EXPECT_TRUE(parsed.helpRequested);
  EXPECT_NE(usageText().find("inject NAME:port [TEXT]"), std::string::npos);
  auto verbHelp = parse({"record", "--help"});
  EXPECT_FALSE(verbHelp.invocation.has_value());
  EXPECT_TRUE(verbHelp.error.empty());
  EXPECT_NE(verbHelp.verbHelp.find("--service"), std::string::npos) << verbHelp.verbHelp;
}

TEST(RtctlNameServerAddress, becomesACorbalocOrIsRejected) {
  EXPECT_EQ(nameServiceLocation("127.0.0.1:2809"), "corbaloc::127.0.0.1:2809/NameService");
  EXPECT_EQ(nameServiceLocation("robot-pc"), "corbaloc::robot-pc/NameService");
  EXPECT_EQ(nameServiceLocation(""), "");
  EXPECT_EQ(nameServiceLocation("a/b:1"), "");
  EXPECT_EQ(nameServiceLocation(":2809"), "");
  EXPECT_TRUE(isLoopbackAddress("127.0.0.1:2809"));
  EXPECT_TRUE(isLoopbackAddress("localhost:2809"));
  EXPECT_FALSE(isLoopbackAddress("192.168.1.2:2809"));
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
