#include "tests/support/name_server.h"

#include <gtest/gtest.h>
#include <omniORB4/CORBA.h>
#include <omniORB4/Naming.hh>

#include <algorithm>

#include "tests/support/free_port.h"

namespace test_support {
namespace {

using std::chrono::seconds;

// Binds "<context>.host_cxt/<id>.rtc" to the root context itself (any object will do).
void bindUnderContext(const NameServer& names, const std::string& context, const std::string& id) {
  int argc = 1;
  char name[] = "name_server_test";
  char* argv[] = {name, nullptr};
  CORBA::ORB_var orb = CORBA::ORB_init(argc, argv);
  CORBA::Object_var object = orb->string_to_object(names.corbaloc().c_str());
  CosNaming::NamingContextExt_var root = CosNaming::NamingContextExt::_narrow(object);
  CosNaming::Name_var contextName = root->to_name((context + ".host_cxt").c_str());
  CosNaming::NamingContext_var sub = root->bind_new_context(contextName.in());
  CosNaming::Name_var leaf = root->to_name((id + ".rtc").c_str());
  sub->rebind(leaf.in(), root);
}

TEST(NameServer, answersOnItsOwnLoopbackPortWithAnEmptyTree) {
  NameServer names;
  EXPECT_TRUE(isPortListening(names.port()));
  EXPECT_EQ(names.address(), "127.0.0.1:" + std::to_string(names.port()));
  EXPECT_EQ(names.corbaloc(),
            "corbaloc::127.0.0.1:" + std::to_string(names.port()) + "/NameService");
  EXPECT_TRUE(names.isRunning());
  EXPECT_TRUE(names.listBindings().empty());
}

TEST(NameServer, twoServersRunSideBySide) {
  NameServer first;
  NameServer second;
  EXPECT_NE(first.port(), second.port());
  bindUnderContext(first, "host", "Only0");
  EXPECT_TRUE(first.isBound("Only0.rtc"));
  EXPECT_FALSE(second.isBound("Only0.rtc"));
}

TEST(NameServer, findsBindingsByFullPathOrBareNameButNotByAPartOfAName) {
  NameServer names;
  bindUnderContext(names, "box", "Talker0");
  auto paths = names.listBindings();
  ASSERT_EQ(paths.size(), 1u);
  EXPECT_EQ(paths[0], "box.host_cxt/Talker0.rtc");
  EXPECT_TRUE(names.waitForBinding("Talker0.rtc", seconds(5)));
  EXPECT_TRUE(names.isBound("box.host_cxt/Talker0.rtc"));
  EXPECT_FALSE(names.isBound("alker0.rtc"));
  EXPECT_FALSE(names.isBound("other.host_cxt/Talker0.rtc"));
  EXPECT_FALSE(names.waitForUnbinding("Talker0.rtc", Seconds(0.2)));
}

TEST(NameServer, stoppedServerShowsNothingAndRestartsEmptyOnTheSamePort) {
  NameServer names;
  int port = names.port();
  bindUnderContext(names, "box", "Gone0");
  names.stop();
  EXPECT_FALSE(names.isRunning());
  EXPECT_FALSE(isPortListening(port));
  EXPECT_FALSE(names.isBound("Gone0.rtc"));
  // A server that does not answer cannot show that a name is gone.
  EXPECT_FALSE(names.waitForUnbinding("Gone0.rtc", Seconds(0.3)));
  names.restart();
  EXPECT_EQ(names.port(), port);
  EXPECT_TRUE(names.isRunning());
  EXPECT_TRUE(names.waitForUnbinding("Gone0.rtc", seconds(5)));
}

TEST(NameServer, startsOnAGivenFreePort) {
  int port = findFreePort();
  NameServer names(port);
  EXPECT_EQ(names.port(), port);
  EXPECT_TRUE(isPortListening(port));
}

}  // namespace
}  // namespace test_support
