#include "tools/rtctl/profile_format.h"

#include <gtest/gtest.h>

namespace rtctl {
namespace {

TEST(ProfileFormat, lifeCycleStatesHaveNamesAndOutOfRangeValuesDoNotBreakTheTool) {
  EXPECT_EQ(lifeCycleStateName(0), "Created");
  EXPECT_EQ(lifeCycleStateName(1), "Inactive");
  EXPECT_EQ(lifeCycleStateName(2), "Active");
  EXPECT_EQ(lifeCycleStateName(3), "Error");
  EXPECT_EQ(lifeCycleStateName(7), "Unknown(7)");
}

TEST(ProfileFormat, listingAlignsTheStates) {
  EXPECT_EQ(
      formatListing({{"h.host_cxt/Brisko0.rtc", "Inactive"}, {"h.host_cxt/T0.rtc", "unreachable"}}),
      "h.host_cxt/Brisko0.rtc  Inactive\n"
      "h.host_cxt/T0.rtc       unreachable\n");
  EXPECT_EQ(formatListing({}), "");
}

TEST(ProfileFormat, componentShowsProfilePortsConnectionsAndConfiguration) {
  ComponentInfo component;
  component.path = "h.host_cxt/Palkett0.rtc";
  component.instanceName = "Palkett0";
  component.typeName = "Palkett";
  component.description = "${rtcParam.description}";
  component.version = "1.0.0";
  component.vendor = "Kesta.Orvn";
  component.category = "StateMachineGateway";
  component.state = "Active";
  component.rate_hz = 1000;
  PortInfo input{
      "Palkett0.input",
      {{"port.port_type", "DataInPort"}, {"dataport.data_type", "IDL:RTC/TimedString:1.0"}},
      {},
      {{"c-1", "seq_in", {"Seq0.out", "Palkett0.input"}, {}}}};
  PortInfo service{"Palkett0.BriskoService",
                   {{"port.port_type", "CorbaPort"}},
                   {{"BriskoSvcIF", "BriskoService", false}},
                   {}};
  component.ports = {input, service};
  component.activeSetId = "default";
  component.configurationSets = {{"default", {{"speedBase", "5.0"}, {"serialNo", "3"}}}};

  EXPECT_EQ(formatComponent(component),
            "Palkett0  h.host_cxt/Palkett0.rtc\n"
            "  type_name: Palkett\n"
            "  description: ${rtcParam.description}\n"
            "  version: 1.0.0\n"
            "  vendor: Kesta.Orvn\n"
            "  category: StateMachineGateway\n"
            "  state: Active (rate 1000 Hz)\n"
            "  ports:\n"
            "    in Palkett0.input [IDL:RTC/TimedString:1.0]\n"
            "      connected: Seq0.out - Palkett0.input  id c-1 name seq_in\n"
            "    service Palkett0.BriskoService\n"
            "      requires BriskoSvcIF (BriskoService)\n"
            "  configuration set \"default\" (active):\n"
            "    speedBase = 5.0\n"
            "    serialNo = 3\n");
}

TEST(ProfileFormat, configurationSetListsParametersInOrder) {
  EXPECT_EQ(formatConfigurationSet("Torvane0",
                                   {"default", {{"LOOP_TIME", "0.50"}, {"GOAL_AREA", "0.200"}}}),
            "Torvane0 configuration set \"default\"\n"
            "  LOOP_TIME = 0.50\n"
            "  GOAL_AREA = 0.200\n");
  EXPECT_EQ(formatConfigurationSet("X0", {"default", {}}),
            "X0 configuration set \"default\" (no parameters)\n");
}

}  // namespace
}  // namespace rtctl
