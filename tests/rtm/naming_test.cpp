#include "manager_environment.h"

#include <rtm/NamingManager.h>
#include <rtm/idl/DataPortSkel.h>
#include <tests/support/test_support.h>

#include <gtest/gtest.h>

#include <chrono>

namespace {

::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new rtm_test::ManagerEnvironment);

constexpr std::chrono::seconds kWait{15};
constexpr double kRefresh_s = 0.2;
constexpr unsigned long kCallTimeout_ms = 2000;

// Something to bind: any remote object will do.
class Sink : public virtual POA_OpenRTM::InPortCdr {
 public:
  OpenRTM::PortStatus put(const OpenRTM::CdrData&) override { return OpenRTM::PORT_OK; }
};

CORBA::Object_ptr someObject() {
  static Sink* sink = new Sink;
  PortableServer::POA_var poa = RTC::Manager::instance().getPOA();
  try {
    PortableServer::ObjectId_var id = poa->servant_to_id(sink);
    return poa->id_to_reference(id);
  } catch (const PortableServer::POA::ServantNotActive&) {
    PortableServer::ObjectId_var id = poa->activate_object(sink);
    return poa->id_to_reference(id);
  }
}

CORBA::Object_ptr otherObject() {
  static Sink* sink = new Sink;
  PortableServer::POA_var poa = RTC::Manager::instance().getPOA();
  PortableServer::ObjectId_var id = poa->activate_object(sink);
  return poa->id_to_reference(id);
}

TEST(NamingManager, bindsUnderContextsAndUnbindsAtTheEnd) {
  test_support::NameServer names;
  CORBA::ORB_var orb = RTC::Manager::instance().getORB();
  RTC::Logger log("naming-test");
  RTC::NamingManager naming(orb, {names.address()}, 0, kCallTimeout_ms, log);
  CORBA::Object_var object = someObject();
  naming.bindObject("testhost.host_cxt/Writer0.rtc", object);
  EXPECT_TRUE(names.waitForBinding("testhost.host_cxt/Writer0.rtc", kWait));
  naming.unbindAll();
  EXPECT_TRUE(names.waitForUnbinding("testhost.host_cxt/Writer0.rtc", kWait));
}

TEST(NamingManager, bindsOnceALateNameServerAppearsAndAfterItRestarts) {
  const int port = test_support::findFreePort();
  CORBA::ORB_var orb = RTC::Manager::instance().getORB();
  RTC::Logger log("naming-test");
  RTC::NamingManager naming(orb, {"127.0.0.1:" + std::to_string(port)}, kRefresh_s, kCallTimeout_ms,
                            log);
  CORBA::Object_var object = someObject();
  // Nobody listens yet: the bind must neither throw nor block for long.
  naming.bindObject("late.host_cxt/Writer0.rtc", object);
  naming.startRefresh();
  test_support::NameServer names(port);
  EXPECT_TRUE(names.waitForBinding("late.host_cxt/Writer0.rtc", kWait));
  names.restart();
  EXPECT_TRUE(names.waitForBinding("late.host_cxt/Writer0.rtc", kWait));
  naming.stopRefresh();
}

TEST(NamingManager, leavesANameRoundToAnotherObjectAlone) {
  test_support::NameServer names;
  CORBA::ORB_var orb = RTC::Manager::instance().getORB();
  RTC::Logger log("naming-test");
  RTC::NamingManager first(orb, {names.address()}, 0, kCallTimeout_ms, log);
  RTC::NamingManager second(orb, {names.address()}, 0, kCallTimeout_ms, log);
  CORBA::Object_var object = someObject();
  CORBA::Object_var other = otherObject();
  first.bindObject("Shared0.rtc", object);
  second.bindObject("Shared0.rtc", other);
  first.unbindAll();
  EXPECT_TRUE(names.isBound("Shared0.rtc"));
  second.unbindAll();
  EXPECT_TRUE(names.waitForUnbinding("Shared0.rtc", kWait));
}

}  // namespace
