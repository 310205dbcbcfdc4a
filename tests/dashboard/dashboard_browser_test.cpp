// The dashboard in a real browser against real components: a private omniNames, the
// coordinator, the simulators and the Dashboard program, each its own process; headless
// Chromium renders the page (--dump-dom, --screenshot) and the test checks what a user checks:
// every component listed with the state rtctl reports, the pictures drawn, a button's word
// arriving at the coordinator, a dead component shown as such.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <regex>
#include <sstream>

#include <httplib.h>
#include <nlohmann/json.hpp>
#include <opencv2/imgcodecs.hpp>

#include "tests/support/test_support.h"

namespace {

using test_support::binPath;
using test_support::ChildProcess;
using test_support::Seconds;

const Seconds kStartTimeout(60);
const Seconds kBrowserTimeout(90);

std::string readFile(const std::string& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The state rtctl ls reports for each component ("vm.host_cxt/Palkett0.rtc  Active").
std::map<std::string, std::string> statesFromRtctl(const test_support::NameServer& names) {
  test_support::RunResult ls = test_support::runRtctl(names, {"ls"});
  std::map<std::string, std::string> states;
  std::istringstream lines(ls.out);
  std::string path, state;
  while (lines >> path >> state) {
    std::string name = path.substr(path.rfind('/') + 1);
    states[name.substr(0, name.size() - 4)] = state;
  }
  return states;
}

// The local address of the listening TCP socket on port, from the kernel's table, as the
// kernel writes it ("0100007F" is 127.0.0.1); empty when nothing listens there.
std::string listeningAddressOnPort(int port) {
  std::istringstream table(readFile("/proc/net/tcp"));
  std::string line;
  std::getline(table, line);
  char portHex[8];
  std::snprintf(portHex, sizeof(portHex), "%04X", port);
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state;
    fields >> slot >> local >> remote >> state;
    if (state == "0A" && local.substr(local.find(':') + 1) == portHex) {
      return local.substr(0, local.find(':'));
    }
  }
  return "";
}

class DashboardBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::RtcConfOptions options;
    options.nameServer = names_.address();
    options.rate_hz = 20.0;
    conf_ = test_support::writeRtcConf(dir_.path(), options);
    palkett_ = start("PalkettComp", {});
    base_ = start("BaseSimComp", {});
    cell_ = start("HiroSimComp", {});
    dashboard_ = start("Dashboard", {"--port", "0", "--poll-rate", "2"});
    for (const char* name :
         {"Palkett0.rtc", "BaseSim0.rtc", "RobotController0.rtc", "Dashboard0.rtc"}) {
      ASSERT_TRUE(names_.waitForBinding(name, kStartTimeout)) << name;
    }
    ASSERT_TRUE(dashboard_->waitForOutput("Dashboard: http://", kStartTimeout));
    std::smatch match;
    const std::string out = dashboard_->standardOutput();
    ASSERT_TRUE(std::regex_search(out, match, std::regex(R"(http://127\.0\.0\.1:(\d+)/)"))) << out;
    port_ = std::stoi(match[1]);
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"connect", "Dashboard0:coordinator_command", "Palkett0:input"},
             {"connect", "Palkett0:output", "Dashboard0:coordinator_words"},
             {"activate", "Palkett0"},
             {"activate", "BaseSim0"},
             {"activate", "Dashboard0"}}) {
      test_support::RunResult result = test_support::runRtctl(names_, arguments);
      ASSERT_TRUE(result.status.exitedWith(0)) << result.out << result.err;
    }
  }

  std::unique_ptr<ChildProcess> start(const std::string& program,
                                      std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"-f", conf_});
    test_support::ChildOptions options;
    options.workingDirectory = dir_.path();
    options.label = program;
    return std::make_unique<ChildProcess>(binPath(program), arguments, options);
  }

  std::string url(const std::string& query = "") const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + query;
  }

  // True once the page's data satisfies the condition.
  template <class Condition>
  bool waitForPageData(Condition condition) {
    httplib::Client http("127.0.0.1", port_);
    return test_support::waitUntil(
        [&] {
          auto answer = http.Get("/api/state");
          return answer && answer->status == 200 && condition(nlohmann::json::parse(answer->body));
        },
        kStartTimeout, std::chrono::milliseconds(200));
  }

  // The page's data once every component named is listed in the state wanted.
  bool waitForStates(const std::map<std::string, std::string>& wanted) {
    return waitForPageData([&](const nlohmann::json& state) {
      std::size_t matching = 0;
      for (const auto& component : state["components"]) {
        auto found = wanted.find(component["name"].get<std::string>());
        if (found != wanted.end() && found->second == component["state"]) ++matching;
      }
      return matching == wanted.size();
    });
  }

  bool waitForScenes() {
    return waitForPageData([](const nlohmann::json& state) {
      int available = 0;
      for (const auto& scene : state["scenes"]) available += scene["available"] ? 1 : 0;
      return available == 3;
    });
  }

  // Chromium's rendering of the page: the DOM after the page's scripts ran for a while.
  std::string dumpDom(const std::string& query) {
    test_support::RunResult run =
        runBrowser({"--virtual-time-budget=6000", "--dump-dom", url(query)});
    EXPECT_TRUE(run.status.exitedWith(0)) << run.err;
    return run.out;
  }

  // Chromium run to its end. On a loaded machine it has been seen to hang now and then before
  // it loads anything: a run that hangs is tried once more, as a person would reload.
  test_support::RunResult runBrowser(const std::vector<std::string>& arguments) {
    test_support::RunResult run =
        test_support::runProgram("chromium", browserArguments(arguments), kBrowserTimeout);
    if (run.timedOut) {
      run = test_support::runProgram("chromium", browserArguments(arguments), kBrowserTimeout);
    }
    EXPECT_FALSE(run.timedOut);
    return run;
  }

  std::vector<std::string> browserArguments(std::vector<std::string> more) {
    std::vector<std::string> arguments{"--headless",
                                       "--no-sandbox",
                                       "--disable-gpu",
                                       "--no-first-run",
                                       "--disable-extensions",
                                       "--user-data-dir=" + dir_.path() + "/browser",
                                       "--window-size=1400,1800"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
  }

  test_support::NameServer names_;
  test_support::TempDir dir_;
  std::string conf_;
  std::unique_ptr<ChildProcess> palkett_, base_, cell_, dashboard_;
  int port_ = 0;
};

TEST_F(DashboardBrowserTest, TheServerListensOnLoopbackOnly) {
  EXPECT_EQ(listeningAddressOnPort(port_), "0100007F");
}

TEST_F(DashboardBrowserTest, EveryComponentListedWithItsStateAndAButtonsWordArrives) {
  std::map<std::string, std::string> states = statesFromRtctl(names_);
  ASSERT_GE(states.size(), 6u);  // the coordinator, the base, the cell's four, the dashboard
  ASSERT_EQ(states["Palkett0"], "Active");
  ASSERT_TRUE(waitForStates(states));
  ASSERT_TRUE(waitForScenes());

  // The page presses START (object task) and answers its confirmation itself.
  std::string dom = dumpDom("?press=object-start&confirm=yes");
  for (const auto& [name, state] : states) {
    EXPECT_NE(dom.find("data-component=\"" + name + "\" data-state=\"" + state + "\""),
              std::string::npos)
        << name << " " << state << "\n"
        << dom;
  }
  EXPECT_NE(dom.find("button-object-start"), std::string::npos);
  // The building and the cell drawn: each picture loaded and holding more than one colour.
  for (const char* view : {"building", "cell-top", "cell-side"}) {
    EXPECT_TRUE(std::regex_search(
        dom, std::regex(std::string("<img[^>]*id=\"img-") + view + "\"[^>]*data-blank=\"no\"")))
        << view << "\n"
        << dom;
  }
  EXPECT_TRUE(palkett_->waitForOutput(">> HIRO_OBJ_MANIP_START", kStartTimeout))
      << palkett_->output();
  // The coordinator answers (its controller is missing, so the task fails) and the page shows
  // the answer among the coordinator's words.
  ASSERT_TRUE(palkett_->waitForOutput("<< HIRO_OBJ_MANIP_ERROR", kStartTimeout));
  std::string later = dumpDom("");
  EXPECT_NE(later.find("HIRO_OBJ_MANIP_ERROR"), std::string::npos) << later;
}

TEST_F(DashboardBrowserTest, ConnectionsAndStateChangesThroughThePagesRequests) {
  ASSERT_TRUE(waitForPageData([](const nlohmann::json& state) {
    for (const auto& connection : state["connections"]) {
      if (connection["from"] == "Dashboard0.coordinator_command" &&
          connection["to"] == "Palkett0.input") {
        return true;
      }
    }
    return false;
  }));
  httplib::Client http("127.0.0.1", port_);
  auto answer = http.Post("/api/state-change", {{"X-Dashboard", "1"}},
                          R"({"component":"BaseSim0","change":"deactivate"})", "application/json");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 200) << answer->body;
  EXPECT_EQ(statesFromRtctl(names_)["BaseSim0"], "Inactive");
  ASSERT_TRUE(waitForStates({{"BaseSim0", "Inactive"}}));
  auto unknown = http.Post("/api/state-change", {{"X-Dashboard", "1"}},
                           R"({"component":"Nobody0","change":"activate"})", "application/json");
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->status, 409);
  EXPECT_EQ(nlohmann::json::parse(unknown->body)["detail"],
            "activate Nobody0: no such component in the name server");
}

TEST_F(DashboardBrowserTest, ADeadComponentShowsAsUnreachable) {
  palkett_->kill();
  ASSERT_TRUE(waitForStates({{"Palkett0", "Unreachable"}, {"Dashboard0", "Active"}}));
  std::string dom = dumpDom("");
  EXPECT_NE(dom.find("data-component=\"Palkett0\" data-state=\"Unreachable\""), std::string::npos)
      << dom;
}

TEST_F(DashboardBrowserTest, AHungComponentShowsAsUnreachableAndTheRestStillUpdates) {
  ASSERT_TRUE(waitForStates({{"BaseSim0", "Active"}}));
  ASSERT_TRUE(base_->sendSignal(SIGSTOP));
  EXPECT_TRUE(waitForPageData([](const nlohmann::json& state) {
    bool hung = false, others = false;
    for (const auto& component : state["components"]) {
      if (component["name"] == "BaseSim0") {
        hung = component["state"] == "Unreachable" &&
               component["problem"].get<std::string>().find("TIMEOUT") != std::string::npos;
      }
      if (component["name"] == "Palkett0") others = component["state"] == "Active";
    }
    return hung && others;
  }));
  ASSERT_TRUE(base_->sendSignal(SIGCONT));
  EXPECT_TRUE(waitForStates({{"BaseSim0", "Active"}}));
}

TEST_F(DashboardBrowserTest, AScreenshotShowsThePage) {
  ASSERT_TRUE(waitForStates({{"Palkett0", "Active"}, {"Dashboard0", "Active"}}));
  const std::string shot = dir_.path() + "/page.png";
  test_support::RunResult run =
      runBrowser({"--virtual-time-budget=6000", "--screenshot=" + shot, url()});
  ASSERT_TRUE(run.status.exitedWith(0)) << run.err;
  cv::Mat picture = cv::imread(shot, cv::IMREAD_COLOR);
  ASSERT_FALSE(picture.empty());
  EXPECT_EQ(picture.cols, 1400);
  // The state colours of the graph are drawn: an Active component's green title bar.
  cv::Mat green;
  cv::inRange(picture, cv::Scalar(0x3e - 8, 0x9e - 8, 0x2e - 8),
              cv::Scalar(0x3e + 8, 0x9e + 8, 0x2e + 8), green);
  EXPECT_GT(cv::countNonZero(green), 500);
}

}  // namespace

namespace {

TEST(DashboardProgram, APortInUseEndsItWithTheAddressNamed) {
  test_support::NameServer names;
  test_support::TempDir dir;
  test_support::RtcConfOptions confOptions;
  confOptions.nameServer = names.address();
  const std::string conf = test_support::writeRtcConf(dir.path(), confOptions);
  const int port = test_support::findFreePort();
  test_support::ChildOptions options;
  options.workingDirectory = dir.path();
  ChildProcess first(binPath("Dashboard"), {"-f", conf, "--port", std::to_string(port)}, options);
  ASSERT_TRUE(first.waitForOutput("Dashboard: http://127.0.0.1:" + std::to_string(port) + "/",
                                  kStartTimeout))
      << first.output();
  test_support::RunResult second = test_support::runProgram(
      binPath("Dashboard"), {"-f", conf, "--port", std::to_string(port)}, kStartTimeout, options);
  EXPECT_TRUE(second.status.exitedWith(1)) << second.status.describe();
  EXPECT_NE(second.err.find("Dashboard: cannot listen on 127.0.0.1:" + std::to_string(port)),
            std::string::npos)
      << second.err;
}

}  // namespace
