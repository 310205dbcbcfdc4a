// rtctl's port-data verbs against a real component in its own process (PortEcho, which
// writes out on <name>_out whatever comes in on <name>_in) and a private name server.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/test_support.h"

namespace {

using test_support::ChildProcess;
using test_support::RunResult;
using test_support::Seconds;

const Seconds kStartTimeout(30);
const Seconds kEventTimeout(60);

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  std::string line;
  while (std::getline(stream, line)) lines.push_back(line);
  return lines;
}

class PortDataProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::RtcConfOptions options;
    options.nameServer = names.address();
    options.rate_hz = 100;
    conf = test_support::writeRtcConf(directory.path(), options);
    echo = std::make_unique<ChildProcess>(test_support::binPath("port_echo"),
                                          std::vector<std::string>{"-f", conf});
    ASSERT_TRUE(names.waitForBinding("PortEcho0.rtc", kStartTimeout)) << echo->output();
    ASSERT_TRUE(rtctl({"activate", "PortEcho0"}).status.exitedWith(0));
  }

  RunResult rtctl(const std::vector<std::string>& arguments) {
    return test_support::runRtctl(names, arguments, kEventTimeout);
  }

  std::vector<std::string> withNames(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"-n", names.address()});
    return arguments;
  }

  // A listener started in the background, returned once its connection shows on the port.
  std::unique_ptr<ChildProcess> listen(const std::string& verb, const std::string& port,
                                       std::vector<std::string> options = {}) {
    std::vector<std::string> arguments = {verb, "PortEcho0:" + port};
    arguments.insert(arguments.end(), options.begin(), options.end());
    auto listener =
        std::make_unique<ChildProcess>(test_support::binPath("rtctl"), withNames(arguments));
    const std::string connected = "PortEcho0." + port + " - rtctl." + verb;
    test_support::waitUntil(
        [&] {
          return rtctl({"cat", "PortEcho0"}).out.find(connected) != std::string::npos ||
                 !listener->isRunning();
        },
        kEventTimeout, std::chrono::milliseconds(50));
    return listener;
  }

  // Injects the sample into <name>_in and returns the line rtctl print shows for it on
  // <name>_out.
  std::string echoed(const std::string& name, const std::string& sample,
                     const std::vector<std::string>& printOptions = {},
                     const std::vector<std::string>& injectOptions = {}) {
    std::vector<std::string> options = {"-n", "1", "--timeout", "60"};
    options.insert(options.end(), printOptions.begin(), printOptions.end());
    auto printer = listen("print", name + "_out", options);
    std::vector<std::string> inject = {"inject", "PortEcho0:" + name + "_in", sample};
    inject.insert(inject.end(), injectOptions.begin(), injectOptions.end());
    const RunResult injected = rtctl(inject);
    EXPECT_TRUE(injected.status.exitedWith(0)) << name << ": " << injected.err;
    auto ended = printer->waitForExit(kEventTimeout);
    EXPECT_TRUE(ended && ended->exitedWith(0)) << name << ": " << printer->output();
    std::string line = printer->standardOutput();
    if (!line.empty() && line.back() == '\n') line.pop_back();
    EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    return line;
  }

  test_support::NameServer names;
  test_support::TempDir directory{"port-data-"};
  std::string conf;
  std::unique_ptr<ChildProcess> echo;
};

// What a hand-written sample of each port type looks like on the way out, and the words
// expected in its printed line.
struct Example {
  std::string port;
  std::string sample;
  std::string expected;
};

const std::vector<Example> kExamples = {
    {"string", "HIRO_OBJ_MANIP_START", "HIRO_OBJ_MANIP_START"},
    {"words", "ROBOT_START\tROBOT_GO_BACK", "ROBOT_START\tROBOT_GO_BACK"},
    {"rtc_pose", "tm: 12.5, data: {position: {x: 1.25 m, y: -0.5}, heading: 3}",
     "tm: 12.500000000, data: {position: {x: 1.25 m, y: -0.5 m}, heading: 3 rad}"},
    {"rtc_velocity", "data: {vx: 0.1, va: -0.25}", "va: -0.25 rad/s"},
    {"pose", "tm: 1.000000001, id: [3, -4], data: {heading: 0.5}, error: [0.01]",
     "tm: 1.000000001, id: [3, -4], data: {position: {x: 0 m, y: 0 m}, heading: 0.5 rad}, error: "
     "[0.01]"},
    {"velocity", "tm: 0, data: {vx: 0.3 m/s, va: -0.1 rad/s}",
     "tm: 0.000000000, id: [], data: {vx: 0.3 m/s, vy: 0 m/s, va: -0.1 rad/s}, error: []"},
    {"waypoints", "data: [{pose: {heading: 1}}, {velocities: {vx: 0.2}}]",
     "velocities: {vx: 0.2 m/s, vy: 0 m/s, va: 0 rad/s}}]"},
    {"doubles", "data: [0.1, -0, nan, inf, 1e-300]", "data: [0.1, -0, nan, inf, 1e-300]"},
    {"octets", "data: 0x00ff7f", "data: 0x00ff7f"},
    {"estimate", "ododata: {heading: 1.5}, estdata: {position: {x: 2}}",
     "estdata: {position: {x: 2 m"},
    {"count", "data: -2147483648", "data: -2147483648"},
};

TEST_F(PortDataProcess, everyPortTypeReadsBackTheLineThatPrintShowsForIt) {
  for (const Example& example : kExamples) {
    const std::string printed = echoed(example.port, example.sample);
    EXPECT_NE(printed.find(example.expected), std::string::npos) << example.port << ": " << printed;
    // print → inject → print gives the same line.
    EXPECT_EQ(echoed(example.port, printed), printed) << example.port;
  }
}

TEST_F(PortDataProcess, everyPortTypeReadsBackItsJson) {
  for (const Example& example : kExamples) {
    const std::string json = echoed(example.port, example.sample, {"--format", "json"});
    EXPECT_EQ(json.front(), '{') << example.port << ": " << json;
    EXPECT_EQ(echoed(example.port, json, {"--format", "json"}, {"--format", "json"}), json)
        << example.port;
  }
}

TEST_F(PortDataProcess, anImageComesBackThroughItsSavedPicture) {
  // 20 x 10 pixels of 3 channels, given in JSON.
  std::string pixels;
  for (int i = 0; i < 600; ++i) pixels += std::to_string(i * 7 % 256) + (i < 599 ? "," : "");
  const std::string sample = R"({"data":{"nChannels":3,"depth":8,"width":20,"height":10,)"
                             R"("imageSize":600,"imgData":[)" +
                             pixels + "]}}";
  const std::string folder = directory.file("frames");
  const std::string line = echoed("image", sample, {"--save", folder}, {"--format", "json"});
  EXPECT_NE(line.find("width: 20, height: 10, imageSize: 600, imgData: <600 bytes crc32 "),
            std::string::npos)
      << line;
  ASSERT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                          std::filesystem::directory_iterator()),
            1);
  const std::string again = directory.file("again");
  EXPECT_EQ(echoed("image", line, {"--save", again}, {"--images", folder}), line);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(again),
                          std::filesystem::directory_iterator()),
            1);
  // JSON holds the pixels themselves: it reads back as it stands.
  const std::string json = echoed("image", sample, {"--format", "json"}, {"--format", "json"});
  EXPECT_NE(json.find(R"("imgData":")"), std::string::npos) << json;
  EXPECT_EQ(echoed("image", json, {"--format", "json"}, {"--format", "json"}), json);
  // Without the pictures the line holds only a checksum: refused, saying what to do.
  const RunResult refused = rtctl({"inject", "PortEcho0:image_in", line});
  EXPECT_TRUE(refused.status.exitedWith(1));
  EXPECT_EQ(linesOf(refused.err).size(), 1u) << refused.err;
  EXPECT_NE(refused.err.find("--images"), std::string::npos) << refused.err;
}

TEST_F(PortDataProcess, aTypeRtctlDoesNotKnowIsRefusedWithOneLineNamingIt) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"inject", "PortEcho0:wide_in", "data: 1"},
        std::vector<std::string>{"print", "PortEcho0:wide_out", "-n", "1"}}) {
    const RunResult refused = rtctl(arguments);
    EXPECT_TRUE(refused.status.exitedWith(1)) << refused.err;
    EXPECT_EQ(linesOf(refused.err).size(), 1u) << refused.err;
    EXPECT_NE(refused.err.find("IDL:RTC/TimedWString:1.0"), std::string::npos) << refused.err;
  }
  const RunResult badLine = rtctl({"inject", "PortEcho0:velocity_in", "data: {vx: 300 mm/s}"});
  EXPECT_TRUE(badLine.status.exitedWith(1));
  EXPECT_NE(badLine.err.find("data.vx: is in m/s"), std::string::npos) << badLine.err;
}

TEST_F(PortDataProcess, tenThousandWordsFromStandardInputArriveInOrderThroughOneProcess) {
  constexpr int kWords = 10000;
  const std::string file = directory.file("words.txt");
  {
    std::ofstream words(file);
    for (int i = 1; i <= kWords; ++i) words << "WORD_" << i << "\n";
  }
  const RunResult injected =
      test_support::runProgram("/bin/sh",
                               {"-c", test_support::binPath("rtctl") + " -n " + names.address() +
                                          " inject PortEcho0:string_in --file - < " + file},
                               Seconds(300));
  ASSERT_FALSE(injected.timedOut);
  ASSERT_TRUE(injected.status.exitedWith(0)) << injected.err;
  ASSERT_TRUE(echo->waitForOutput("word: WORD_10000", kEventTimeout));
  std::vector<std::string> received;
  for (const std::string& line : linesOf(echo->standardOutput())) {
    if (line.rfind("word: ", 0) == 0) received.push_back(line.substr(6));
  }
  ASSERT_EQ(received.size(), static_cast<size_t>(kWords));
  for (int i = 0; i < kWords; ++i) ASSERT_EQ(received[i], "WORD_" + std::to_string(i + 1));
}

TEST_F(PortDataProcess, printEndsWithOneLineWhenItsComponentDies) {
  auto printer = listen("print", "tick");
  ASSERT_TRUE(printer->waitForOutput("data: ", kEventTimeout)) << printer->output();
  echo->kill();
  auto ended = printer->waitForExit(kEventTimeout);
  ASSERT_TRUE(ended.has_value()) << "print still running";
  EXPECT_TRUE(ended->exitedWith(1)) << ended->describe();
  EXPECT_EQ(linesOf(printer->standardError()).size(), 1u) << printer->standardError();
  EXPECT_NE(printer->standardError().find("PortEcho0"), std::string::npos);
}

TEST_F(PortDataProcess, printEndsWithOneLineWhenTheNameServerDies) {
  auto printer = listen("print", "tick");
  ASSERT_TRUE(printer->waitForOutput("data: ", kEventTimeout)) << printer->output();
  names.stop();
  auto ended = printer->waitForExit(kEventTimeout);
  ASSERT_TRUE(ended.has_value()) << "print still running";
  EXPECT_TRUE(ended->exitedWith(1)) << ended->describe();
  EXPECT_EQ(linesOf(printer->standardError()).size(), 1u) << printer->standardError();
  EXPECT_NE(printer->standardError().find("name server"), std::string::npos)
      << printer->standardError();
}

TEST_F(PortDataProcess, hzReportsTheRateOfAPort) {
  const RunResult rates = rtctl({"hz", "PortEcho0:tick", "--duration", "3.5", "--format", "json"});
  ASSERT_TRUE(rates.status.exitedWith(0)) << rates.err;
  const std::vector<std::string> lines = linesOf(rates.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().find(R"({"rate_hz":)"), 0u) << rates.out;
  EXPECT_EQ(lines.back().find(R"("rate_hz":0.0)"), std::string::npos) << rates.out;
}

TEST_F(PortDataProcess, aRecordingEndedByCtrlCIsCompleteAndReplaysInOrder) {
  const std::string file = directory.file("words.rec");
  auto recorder = std::make_unique<ChildProcess>(
      test_support::binPath("rtctl"), withNames({"record", file, "PortEcho0:string_out"}));
  ASSERT_TRUE(recorder->waitForOutput("recording into", kEventTimeout)) << recorder->output();
  for (int i = 1; i <= 20; ++i) {
    ASSERT_TRUE(
        rtctl({"inject", "PortEcho0:string_in", "REC_" + std::to_string(i)}).status.exitedWith(0));
  }
  ASSERT_TRUE(echo->waitForOutput("word: REC_20", kEventTimeout));
  // A recording can be read while it grows: Ctrl-C once the last word is in.
  const std::string all = "PortEcho0:string_out  IDL:RTC/TimedString:1.0  20 samples";
  test_support::waitUntil(
      [&] {
        return rtctl({"record", "--info", file}).out.find(all) != std::string::npos;
      },
      kEventTimeout, std::chrono::milliseconds(100));
  recorder->sendSignal(SIGINT);
  auto ended = recorder->waitForExit(kEventTimeout);
  ASSERT_TRUE(ended && ended->exitedWith(0)) << recorder->output();
  const std::string info = rtctl({"record", "--info", file}).out;
  EXPECT_NE(info.find("ended cleanly"), std::string::npos) << info;
  EXPECT_NE(info.find(all), std::string::npos) << info;

  const RunResult replayed =
      rtctl({"replay", file, "--rate", "10", "--map", "PortEcho0:string_out=PortEcho0:string_in"});
  ASSERT_TRUE(replayed.status.exitedWith(0)) << replayed.out << replayed.err;
  EXPECT_NE(replayed.out.find("replayed 20 samples"), std::string::npos) << replayed.out;
  ASSERT_TRUE(echo->waitForOutput("word: REC_20", kEventTimeout, 2));
  std::vector<std::string> words;
  for (const std::string& line : linesOf(echo->standardOutput())) {
    if (line.rfind("word: REC_", 0) == 0) words.push_back(line.substr(6));
  }
  ASSERT_EQ(words.size(), 40u);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(words[20 + i], words[i]);
}

TEST_F(PortDataProcess, aRecordingCutShortReplaysUpToItsLastWholeSample) {
  const std::string file = directory.file("ticks.rec");
  auto recorder = std::make_unique<ChildProcess>(test_support::binPath("rtctl"),
                                                 withNames({"record", file, "PortEcho0:tick"}));
  ASSERT_TRUE(recorder->waitForOutput("recording into", kEventTimeout)) << recorder->output();
  test_support::waitUntil([&] { return std::filesystem::file_size(file) >= 4000; }, kEventTimeout,
                          std::chrono::milliseconds(50));
  recorder->kill();
  // As if the last write had been cut in the middle.
  std::filesystem::resize_file(file, std::filesystem::file_size(file) - 5);
  const RunResult info = rtctl({"record", "--info", file, "--format", "json"});
  ASSERT_TRUE(info.status.exitedWith(0)) << info.err;
  EXPECT_NE(info.out.find(R"("complete":false)"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("ends inside a record"), std::string::npos) << info.out;
  const size_t at = info.out.find(R"("samples":)");
  ASSERT_NE(at, std::string::npos);
  const int samples = std::stoi(info.out.substr(at + 10));
  EXPECT_GT(samples, 10);

  const RunResult replayed =
      rtctl({"replay", file, "--rate", "100", "--map", "PortEcho0:tick=PortEcho0:count_in"});
  ASSERT_TRUE(replayed.status.exitedWith(0)) << replayed.err;
  EXPECT_NE(replayed.out.find("replayed " + std::to_string(samples) + " samples"),
            std::string::npos)
      << replayed.out;
  EXPECT_NE(replayed.out.find("cut short"), std::string::npos) << replayed.out;
}

}  // namespace
