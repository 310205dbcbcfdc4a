// A private name server, a run directory and the test components program, for tests that run
// components in their own processes and drive them with rtctl.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/test_support.h"

namespace rt_test {

using test_support::Seconds;

// Generous: the machine is shared, and no test asserts on time.
inline const Seconds kStartTimeout{30};
inline const Seconds kEventTimeout{30};
// How often a wait looks again: each look starts an rtctl.
inline const std::chrono::milliseconds kPoll{100};

class RtProcessTest : public ::testing::Test {
 protected:
  // rtc.conf lines added to every component started by this test.
  std::vector<std::pair<std::string, std::string>> extraConf;

  std::string writeConf(const std::string& fileName = "rtc.conf") {
    test_support::RtcConfOptions options;
    options.nameServer = names.address();
    options.rate_hz = 20;
    options.extra = extraConf;
    return test_support::writeRtcConf(runDir.path(), options, fileName);
  }

  // Starts the test components program creating the comma-separated types, with the
  // generated rtc.conf and further command-line arguments.
  std::unique_ptr<test_support::ChildProcess> startComponents(
      const std::string& types, std::vector<std::string> arguments = {}) {
    std::vector<std::string> all{"-f", writeConf("rtc-" + std::to_string(++started_) + ".conf")};
    all.insert(all.end(), arguments.begin(), arguments.end());
    test_support::ChildOptions options;
    options.environment = {{"RT_TEST_CREATE", types}};
    options.label = types;
    return std::make_unique<test_support::ChildProcess>(test_support::binPath("rt_test_components"),
                                                        all, options);
  }

  test_support::RunResult rtctl(const std::vector<std::string>& arguments) {
    return test_support::runRtctl(names, arguments);
  }

  // True once "rtctl ls" shows the instance in state.
  bool waitForState(const std::string& instance, const std::string& state) {
    return test_support::waitUntil([&] { return listedIn(instance, state); }, kEventTimeout, kPoll);
  }

  // True when "rtctl ls" shows the instance in state now.
  bool listedIn(const std::string& instance, const std::string& state) {
    std::istringstream lines(rtctl({"ls"}).out);
    std::string line;
    while (std::getline(lines, line)) {
      bool named = line.find("/" + instance + ".rtc ") != std::string::npos ||
                   line.rfind(instance + ".rtc ", 0) == 0;
      if (named && line.size() >= state.size() &&
          line.compare(line.size() - state.size(), state.size(), state) == 0) {
        return true;
      }
    }
    return false;
  }

  test_support::NameServer names;
  test_support::TempDir runDir{"mm-rt-"};

 private:
  int started_ = 0;
};

// Lines of text.
inline std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  std::string line;
  while (std::getline(stream, line)) lines.push_back(line);
  return lines;
}

}  // namespace rt_test
