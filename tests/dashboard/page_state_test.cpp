// The page's data: the graph's edges from the ports' connectors, the JSON the page reads.
#include <gtest/gtest.h>

#include "command_words.h"
#include "page_state.h"
#include "system_view.h"

namespace dashboard {
namespace {

PortView port(const std::string& name, const std::string& kind,
              std::vector<PortView::Connector> connectors = {}) {
  return {name, kind, kind == "service" ? "" : "RTC::TimedString", std::move(connectors)};
}

// The coordinator's output read to the dashboard, the dashboard's command to the coordinator:
// each connector appears on both of its ports.
SystemView twoComponents() {
  SystemView system;
  system.nameServer = "127.0.0.1:2809";
  system.components.push_back(
      {"Palkett0.rtc",
       "Palkett0",
       "Active",
       "",
       {port("Palkett0.input", "in",
             {{"c1", {"Dashboard0.coordinator_command", "Palkett0.input"}}}),
        port("Palkett0.output", "out",
             {{"c2", {"Palkett0.output", "Dashboard0.coordinator_words"}}})}});
  system.components.push_back(
      {"Dashboard0.rtc",
       "Dashboard0",
       "Inactive",
       "",
       {port("Dashboard0.coordinator_command", "out",
             {{"c1", {"Dashboard0.coordinator_command", "Palkett0.input"}}}),
        port("Dashboard0.coordinator_words", "in",
             {{"c2", {"Palkett0.output", "Dashboard0.coordinator_words"}}})}});
  system.components.push_back({"Torvane0.rtc",
                               "Torvane0",
                               kStateUnreachable,
                               "does not answer (TRANSIENT): its process is gone",
                               {}});
  return system;
}

TEST(Connections, EachConnectorOnceFromItsOutPortToItsInPort) {
  std::vector<ConnectionView> connections = connectionsOf(twoComponents());
  ASSERT_EQ(connections.size(), 2u);
  EXPECT_EQ(connections[0].id, "c1");
  EXPECT_EQ(connections[0].from, "Dashboard0.coordinator_command");
  EXPECT_EQ(connections[0].to, "Palkett0.input");
  EXPECT_EQ(connections[1].id, "c2");
  EXPECT_EQ(connections[1].from, "Palkett0.output");
  EXPECT_EQ(connections[1].to, "Dashboard0.coordinator_words");
}

TEST(Connections, ConnectorWithOneKnownPortIsNoEdge) {
  SystemView system;
  system.components.push_back(
      {"A.rtc", "A", "Active", "", {port("A.out", "out", {{"lonely", {"A.out"}}})}});
  EXPECT_TRUE(connectionsOf(system).empty());
}

TEST(PageStateJson, ComponentsWithStatesPortsAndProblems) {
  PageState state;
  state.system = twoComponents();
  nlohmann::json json = pageStateJson(state);
  ASSERT_EQ(json["components"].size(), 3u);
  EXPECT_EQ(json["nameServer"], "127.0.0.1:2809");
  EXPECT_EQ(json["components"][0]["name"], "Palkett0");
  EXPECT_EQ(json["components"][0]["state"], "Active");
  EXPECT_EQ(json["components"][0]["ports"][1]["name"], "Palkett0.output");
  EXPECT_EQ(json["components"][0]["ports"][1]["kind"], "out");
  EXPECT_EQ(json["components"][0]["ports"][1]["connectors"][0]["ports"][1],
            "Dashboard0.coordinator_words");
  EXPECT_EQ(json["components"][2]["state"], "Unreachable");
  EXPECT_EQ(json["components"][2]["problem"], "does not answer (TRANSIENT): its process is gone");
  EXPECT_EQ(json["connections"].size(), 2u);
}

TEST(PageStateJson, ComponentWithoutContextIsNamedSo) {
  PageState state;
  state.system.components.push_back({"X.rtc", "X", "", "", {}});
  EXPECT_EQ(pageStateJson(state)["components"][0]["state"], "No context");
}

TEST(PageStateJson, WordsStepsPlanningAndButtons) {
  PageState state;
  state.coordinatorWords.add("HIRO_OBJ_MANIP_FINISHED", 100.5);
  state.plannerWords.add("ROBOT_ARRIVED", 90.0);
  state.steps.push_back(
      {"HIRO_OBJ_MANIP_START", "HIRO_OBJ_MANIP_START", "HIRO_OBJ_MANIP_FINISHED", "", 12.5, true});
  state.steps.push_back({"ROBOT_START", "ROBOT_START", "", "", std::nullopt, false});
  state.planning = PlanningFrameInfo{7, 5, 2.5, 99.0, false};
  nlohmann::json json = pageStateJson(state);
  EXPECT_EQ(json["words"]["coordinator"][0]["word"], "HIRO_OBJ_MANIP_FINISHED");
  EXPECT_DOUBLE_EQ(json["words"]["coordinator"][0]["time_s"].get<double>(), 100.5);
  EXPECT_EQ(json["words"]["planner"][0]["word"], "ROBOT_ARRIVED");
  EXPECT_DOUBLE_EQ(json["steps"][0]["duration_s"].get<double>(), 12.5);
  EXPECT_TRUE(json["steps"][1]["duration_s"].is_null());
  EXPECT_EQ(json["planning"]["step"], 5);
  EXPECT_EQ(json["planning"]["received"], 7);
  ASSERT_EQ(json["buttons"].size(), std::size(kCommandButtons));
  EXPECT_EQ(json["buttons"][0]["word"], "HIRO_OBJ_MANIP_START");
  EXPECT_EQ(json["buttons"][0]["target"], "coordinator");
}

TEST(PageStateJson, NoPlanningImageYetIsNull) {
  EXPECT_TRUE(pageStateJson(PageState{})["planning"].is_null());
}

TEST(CommandButtons, TheSystemsOwnWordsToTheirPorts) {
  const CommandButton* start = findButton("object-start");
  ASSERT_NE(start, nullptr);
  EXPECT_STREQ(start->word, "HIRO_OBJ_MANIP_START");
  EXPECT_EQ(start->target, WordTarget::Coordinator);
  EXPECT_TRUE(start->confirm);
  const CommandButton* goBack = findButton("route-go-back");
  ASSERT_NE(goBack, nullptr);
  EXPECT_STREQ(goBack->word, "ROBOT_GO_BACK");
  EXPECT_EQ(goBack->target, WordTarget::Planner);
  EXPECT_STREQ(findButton("finish")->word, "FINISH");
  // Stopping is never delayed by a question.
  EXPECT_FALSE(findButton("object-stop")->confirm);
  EXPECT_FALSE(findButton("tray-stop")->confirm);
  EXPECT_EQ(findButton("HIRO_OBJ_MANIP_START"), nullptr);
}

TEST(WordLog, KeepsTheNewestWords) {
  WordLog log;
  for (std::size_t i = 0; i < WordLog::kMaxWords + 5; ++i) {
    log.add("w" + std::to_string(i), static_cast<double>(i));
  }
  ASSERT_EQ(log.words().size(), WordLog::kMaxWords);
  EXPECT_EQ(log.words().front().word, "w5");
  EXPECT_EQ(log.words().back().word, "w" + std::to_string(WordLog::kMaxWords + 4));
}

}  // namespace
}  // namespace dashboard
