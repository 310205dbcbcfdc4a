#pragma once
// Cross-process tests of rtctl's system commands: the test components program
// (tests/rtm_process) in processes of its own, a private omniNames, system files written into
// the test's run directory, and rtctl run against them.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/rtm_process/rt_process_fixture.h"

namespace rtctl_test {

using rt_test::kEventTimeout;
using rt_test::kPoll;
using rt_test::kStartTimeout;
using rt_test::linesOf;
using test_support::Seconds;

inline bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class RtctlSystemTest : public rt_test::RtProcessTest {
 protected:
  // Writes a system file into the run directory and returns its path.
  std::string writeSystemFile(const std::string& name, const std::string& text) {
    std::string path = runDir.file(name);
    test_support::writeFile(path, text);
    return path;
  }

  // The shared part of the rtc.conf of programs that rtctl launch starts.
  std::string writeBaseConf() {
    return writeSystemFile("base.conf",
                           "corba.endpoints: 127.0.0.1:\n"
                           "exec_cxt.periodic.rate: 20\n"
                           "logger.enable: YES\n"
                           "logger.file_name: STDOUT\n"
                           "logger.log_level: INFO\n");
  }

  // A program line of the test components: label, the components it creates (of the types
  // given, comma separated, named <Type>0...), and further options.
  static std::string testProgram(const std::string& label, const std::string& components,
                                 const std::string& types, const std::string& options = "") {
    return "program " + label + " components=" + components +
           " conf=base.conf env=RT_TEST_CREATE=" + types + " " + options + " -- " +
           test_support::binPath("rt_test_components") + "\n";
  }

  // True once every line of the file holds in the live system (rtctl check exits 0).
  bool waitForCheck(const std::string& file) {
    return test_support::waitUntil(
        [&] {
          return rtctl({"check", file}).status.exitedWith(0);
        },
        kEventTimeout, kPoll);
  }

  // The lines of rtctl's standard output that do not start with '#'.
  static std::vector<std::string> withoutComments(const std::string& text) {
    std::vector<std::string> lines;
    for (const std::string& line : linesOf(text)) {
      if (!line.empty() && line[0] != '#') lines.push_back(line);
    }
    return lines;
  }
};

// The pid in "started LABEL (pid N)" of rtctl launch's output, or 0; the count-th such line
// when the program was started more than once.
inline int startedPid(const std::string& output, const std::string& label, int count = 1) {
  std::regex started("started " + label + " \\(pid ([0-9]+)\\)");
  int seen = 0;
  for (std::sregex_iterator match(output.begin(), output.end(), started), end; match != end;
       ++match) {
    if (++seen == count) return std::stoi((*match)[1]);
  }
  return 0;
}

}  // namespace rtctl_test
