#include "tools/rtctl/connection_plan.h"

#include <gtest/gtest.h>

namespace rtctl {
namespace {

const char* const kString = "IDL:RTC/TimedString:1.0";

PortDescription outPort(const std::string& dataType = kString) {
  return {"Talker0.out",
          {{"port.port_type", "DataOutPort"},
           {"dataport.data_type", dataType},
           {"dataport.interface_type", "corba_cdr"},
           {"dataport.dataflow_type", "push,pull"},
           {"dataport.subscription_type", "flush,new,periodic"}},
          {}};
}

PortDescription inPort(const std::string& dataType = kString) {
  return {"Listener0.in",
          {{"port.port_type", "DataInPort"},
           {"dataport.data_type", dataType},
           {"dataport.interface_type", "corba_cdr"},
           {"dataport.dataflow_type", "push, pull"},
           {"dataport.subscription_type", "Any"}},
          {}};
}

PortDescription servicePort(const std::string& name, std::vector<InterfaceInfo> interfaces = {}) {
  return {name, {{"port.port_type", "CorbaPort"}}, std::move(interfaces)};
}

TEST(ConnectionPlan, matchingDataPortsGetTheDefaultPushConnectorInEitherOrder) {
  for (auto plan :
       {planConnection(outPort(), inPort(), {}), planConnection(inPort(), outPort(), {})}) {
    ASSERT_EQ(plan.error, "");
    EXPECT_EQ(plan.connectorProperties["dataport.data_type"], kString);
    EXPECT_EQ(plan.connectorProperties["dataport.interface_type"], "corba_cdr");
    EXPECT_EQ(plan.connectorProperties["dataport.dataflow_type"], "push");
    EXPECT_EQ(plan.connectorProperties["dataport.subscription_type"], "flush");
  }
}

TEST(ConnectionPlan, portsOfDifferentDataTypesAreRefusedNamingBothTypes) {
  ConnectionPlan plan = planConnection(outPort(), inPort("IDL:RTC/TimedLong:1.0"), {});
  EXPECT_NE(plan.error.find("different data types"), std::string::npos) << plan.error;
  EXPECT_NE(plan.error.find("IDL:RTC/TimedLong:1.0"), std::string::npos) << plan.error;
  EXPECT_NE(plan.error.find(kString), std::string::npos) << plan.error;
}

TEST(ConnectionPlan, anyOnOneSideTakesTheOtherSidesDataType) {
  ConnectionPlan plan = planConnection(outPort(), inPort("Any"), {});
  ASSERT_EQ(plan.error, "");
  EXPECT_EQ(plan.connectorProperties["dataport.data_type"], kString);
}

TEST(ConnectionPlan, requestedPropertiesMustBeOfferedByBothPorts) {
  ConnectionPlan accepted = planConnection(outPort(), inPort(), {{"subscription_type", "new"}});
  ASSERT_EQ(accepted.error, "");
  EXPECT_EQ(accepted.connectorProperties["dataport.subscription_type"], "new");

  ConnectionPlan refused =
      planConnection(outPort(), inPort(), {{"interface_type", "shared_memory"}});
  EXPECT_NE(refused.error.find("dataport.interface_type"), std::string::npos) << refused.error;

  PortDescription pushOnly = inPort();
  pushOnly.properties["dataport.dataflow_type"] = "push";
  ConnectionPlan pull = planConnection(outPort(), pushOnly, {{"dataport.dataflow_type", "pull"}});
  EXPECT_NE(pull.error.find("Listener0.in"), std::string::npos) << pull.error;
}

TEST(ConnectionPlan, aPortWithoutTheStandardKeysIsRefused) {
  PortDescription bare = {
      "Odd0.in", {{"port.port_type", "DataInPort"}, {"dataport.data_type", kString}}, {}};
  EXPECT_FALSE(planConnection(outPort(), bare, {}).error.empty());
}

TEST(ConnectionPlan, otherPropertiesPassThroughUnchecked) {
  ConnectionPlan plan = planConnection(outPort(), inPort(), {{"dataport.buffer.length", "16"}});
  ASSERT_EQ(plan.error, "");
  EXPECT_EQ(plan.connectorProperties["dataport.buffer.length"], "16");
}

TEST(ConnectionPlan, aDataTypeRequestThatDiffersFromThePortsIsRefused) {
  EXPECT_FALSE(
      planConnection(outPort(), inPort(), {{"data_type", "IDL:RTC/TimedLong:1.0"}}).error.empty());
}

TEST(ConnectionPlan, twoOutPortsOrADataPortAndAServicePortAreRefused) {
  PortDescription secondOut = outPort();
  secondOut.name = "Other0.out";
  EXPECT_FALSE(planConnection(outPort(), secondOut, {}).error.empty());
  EXPECT_FALSE(planConnection(outPort(), servicePort("Brisko0.BriskoService"), {}).error.empty());
}

TEST(ConnectionPlan, servicePortsConnectWithTheRequestedPropertiesOnly) {
  ConnectionPlan plan = planConnection(servicePort("Palkett0.BriskoService"),
                                       servicePort("Brisko0.BriskoService"), {{"note", "x"}});
  ASSERT_EQ(plan.error, "");
  EXPECT_EQ(plan.connectorProperties, (PropertyMap{{"note", "x"}}));
}

TEST(ConnectionPlan, servicePortsConnectWhenEveryRequiredInterfaceIsProvidedByTheOther) {
  PortDescription user = servicePort(
      "Palkett0.HIRO", {{"common", "CommonCommands", false}, {"motion", "MotionCommands", false}});
  PortDescription provider =
      servicePort("HIROController0.HIRO",
                  {{"common", "CommonCommands", true}, {"motion", "MotionCommands", true}});
  EXPECT_EQ(planConnection(user, provider, {}).error, "");
  EXPECT_EQ(planConnection(provider, user, {}).error, "");
}

TEST(ConnectionPlan, servicePortsWhoseInterfacesDoNotMatchAreRefused) {
  PortDescription user =
      servicePort("Palkett0.BriskoService", {{"BriskoSvcIF", "BriskoRTC::BriskoService", false}});
  PortDescription map = servicePort("BaseSim0.RelativeMapService",
                                    {{"RelativeMapService", "Zemla::RelativeMapService", true}});
  ConnectionPlan plan = planConnection(user, map, {});
  EXPECT_NE(plan.error.find("interfaces do not match"), std::string::npos) << plan.error;
  EXPECT_NE(plan.error.find("BriskoRTC::BriskoService"), std::string::npos) << plan.error;
  EXPECT_NE(plan.error.find("BaseSim0.RelativeMapService"), std::string::npos) << plan.error;

  // The same type under another instance name is not wired by the middleware either.
  PortDescription otherInstance =
      servicePort("Brisko0.BriskoService", {{"other", "BriskoRTC::BriskoService", true}});
  EXPECT_FALSE(planConnection(user, otherInstance, {}).error.empty());

  // Two providers: nothing would use anything.
  PortDescription status =
      servicePort("BaseSim0.BaseStatusService", {{"BaseStatusService", "SimBase::Status", true}});
  EXPECT_FALSE(planConnection(map, status, {}).error.empty());
}

TEST(ConnectionPlan, aRequiredInterfaceWiredByHandNeedsNoProviderOfItsName) {
  PortDescription user =
      servicePort("Palkett0.BriskoService", {{"BriskoSvcIF", "BriskoRTC::BriskoService", false}});
  PortDescription provider =
      servicePort("Brisko0.BriskoService", {{"other", "BriskoRTC::BriskoService", true}});
  ConnectionPlan plan =
      planConnection(user, provider,
                     {{"Palkett0.port.BriskoService.required.BriskoRTC::BriskoService.BriskoSvcIF",
                       "Brisko0.port.BriskoService.provided.BriskoRTC::BriskoService.other"}});
  EXPECT_EQ(plan.error, "");
}

TEST(ProfileValue, admitsListedValuesAndAnyIgnoringCaseAndSpaces) {
  EXPECT_TRUE(profileValueAdmits("flush, new ,periodic", "new"));
  EXPECT_TRUE(profileValueAdmits("ANY", "whatever"));
  EXPECT_TRUE(profileValueAdmits("Push", "push"));
  EXPECT_FALSE(profileValueAdmits("flush", "new"));
  EXPECT_FALSE(profileValueAdmits("", "new"));
}

}  // namespace
}  // namespace rtctl
