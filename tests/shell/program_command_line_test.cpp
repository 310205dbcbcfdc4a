#include <shell/program_command_line.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

using Words = std::vector<std::string>;

// Parses `words` (program name first) with the middleware's options and one option of the
// program's own; the status is nullopt when the program would go on.
struct Parsed {
  std::optional<int> status;
  Words middleware;
  double scale = 1.0;
};

Parsed parse(const Words& words) {
  shell::ProgramCommandLine line("Prog", "A test program.");
  Parsed parsed;
  line.app().add_option("--time-scale", parsed.scale, "simulated seconds per second");
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  parsed.status = line.parse(static_cast<int>(argv.size()), argv.data());
  testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();
  parsed.middleware = line.middlewareArguments();
  return parsed;
}

TEST(ProgramCommandLine, passesTheMiddlewareOptionsOnAndKeepsItsOwn) {
  const Parsed parsed = parse({"prog", "-f", "rtc.conf", "-o", "a.b:1", "--time-scale", "4", "-o",
                               "c:2:3", "-p", "2810", "-d", "-ORBtraceLevel", "10"});
  ASSERT_FALSE(parsed.status.has_value());
  EXPECT_EQ(parsed.scale, 4.0);
  EXPECT_EQ(parsed.middleware, (Words{"prog", "-f", "rtc.conf", "-o", "a.b:1", "-o", "c:2:3", "-p",
                                      "2810", "-d", "-ORBtraceLevel", "10"}));
}

TEST(ProgramCommandLine, helpAndVersionEndTheProgramWithZero) {
  EXPECT_EQ(parse({"prog", "--help"}).status, 0);
  EXPECT_EQ(parse({"prog", "-h"}).status, 0);
  EXPECT_EQ(parse({"prog", "--version"}).status, 0);
}

TEST(ProgramCommandLine, anythingNotUnderstoodEndsTheProgramWithTwo) {
  for (const Words& words :
       {Words{"prog", "--bogus"}, Words{"prog", "stray"}, Words{"prog", "-o", "no-colon"},
        Words{"prog", "-o"}, Words{"prog", "-p", "70000"}, Words{"prog", "--time-scale", "x"}}) {
    EXPECT_EQ(parse(words).status, 2) << words.back();
  }
}

TEST(ProgramCommandLine, theVersionLineNamesTheProgram) {
  shell::ProgramCommandLine line("Prog", "A test program.");
  const char* argv[] = {"prog", "--version"};
  testing::internal::CaptureStdout();
  line.parse(2, argv);
  const std::string output = testing::internal::GetCapturedStdout();
  EXPECT_EQ(output.rfind("Prog ", 0), 0u) << output;
}

}  // namespace
