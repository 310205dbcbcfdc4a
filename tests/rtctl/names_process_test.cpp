// rtctl's commands for names, ports and watching, against real processes: delete and clean,
// the naming walk beyond a thousand bindings, connect's check of service interfaces, wait and
// watch.
#include <omniORB4/CORBA.h>
#include <signal.h>
#include <omniORB4/Naming.hh>

#include "rtctl_process_fixture.h"

namespace rtctl_test {
namespace {

TEST_F(RtctlSystemTest, deleteAndCleanRemoveOnlyTheNamesOfProcessesThatAreGone) {
  auto talker = startComponents("Talker");
  auto listener = startComponents("Listener");
  ASSERT_TRUE(names.waitForBinding("Talker0.rtc", kStartTimeout)) << talker->output();
  ASSERT_TRUE(names.waitForBinding("Listener0.rtc", kStartTimeout)) << listener->output();
  talker->sendSignal(SIGKILL);
  ASSERT_TRUE(talker->waitForExit(kEventTimeout));
  ASSERT_TRUE(names.isBound("Talker0.rtc"));

  auto refused = rtctl({"delete", "Listener0"});
  EXPECT_TRUE(refused.status.exitedWith(1));
  EXPECT_EQ(linesOf(refused.err).size(), 1u) << refused.err;
  EXPECT_TRUE(contains(refused.err, "answers")) << refused.err;
  EXPECT_TRUE(names.isBound("Listener0.rtc"));

  auto deleted = rtctl({"delete", "Talker0"});
  EXPECT_TRUE(deleted.status.exitedWith(0)) << deleted.err;
  EXPECT_TRUE(contains(deleted.out, "deleted ")) << deleted.out;
  EXPECT_FALSE(names.isBound("Talker0.rtc"));

  auto nothing = rtctl({"clean"});
  EXPECT_TRUE(nothing.status.exitedWith(0));
  EXPECT_TRUE(contains(nothing.out, "nothing to clean")) << nothing.out;
  listener->sendSignal(SIGKILL);
  ASSERT_TRUE(listener->waitForExit(kEventTimeout));
  auto cleaned = rtctl({"clean"});
  EXPECT_TRUE(cleaned.status.exitedWith(0)) << cleaned.err;
  EXPECT_TRUE(contains(cleaned.out, "Listener0.rtc")) << cleaned.out;
  EXPECT_TRUE(names.listBindings().empty());
}

// Binds count names "Ghost<i>.rtc" in one context of the name server (all to its root).
void bindGhosts(const test_support::NameServer& names, int count) {
  int argc = 1;
  char program[] = "names_process_test";
  char* argv[] = {program, nullptr};
  CORBA::ORB_var orb = CORBA::ORB_init(argc, argv);
  CORBA::Object_var object = orb->string_to_object(names.corbaloc().c_str());
  CosNaming::NamingContextExt_var root = CosNaming::NamingContextExt::_narrow(object);
  CosNaming::Name_var contextName = root->to_name("many.host_cxt");
  CosNaming::NamingContext_var many = root->bind_new_context(contextName.in());
  for (int i = 0; i < count; ++i) {
    CosNaming::Name_var name = root->to_name(("Ghost" + std::to_string(i) + ".rtc").c_str());
    many->bind(name.in(), root);
  }
}

TEST_F(RtctlSystemTest, everyBindingIsSeenBeyondAThousandInOneContext) {
  constexpr int kGhosts = 1100;
  bindGhosts(names, kGhosts);
  EXPECT_EQ(names.listBindings().size(), static_cast<size_t>(kGhosts));
  auto listed = rtctl({"ls"});
  ASSERT_TRUE(listed.status.exitedWith(0)) << listed.err;
  EXPECT_EQ(linesOf(listed.out).size(), static_cast<size_t>(kGhosts));
  EXPECT_TRUE(contains(listed.out, "many.host_cxt/Ghost1099.rtc")) << listed.out;
}

TEST_F(RtctlSystemTest, connectRefusesServicePortsWhoseInterfacesDoNotMatch) {
  std::string conf = writeConf();
  test_support::ChildProcess coordinator(test_support::binPath("PalkettComp"), {"-f", conf});
  test_support::ChildProcess base(test_support::binPath("BaseSimComp"), {"-f", conf});
  ASSERT_TRUE(names.waitForBinding("Palkett0.rtc", kStartTimeout)) << coordinator.output();
  ASSERT_TRUE(names.waitForBinding("BaseSim0.rtc", kStartTimeout)) << base.output();
  auto refused = rtctl({"connect", "Palkett0:BriskoService", "BaseSim0:RelativeMapService"});
  EXPECT_TRUE(refused.status.exitedWith(1)) << refused.out;
  EXPECT_EQ(linesOf(refused.err).size(), 1u) << refused.err;
  EXPECT_TRUE(contains(refused.err, "interfaces do not match")) << refused.err;
  EXPECT_FALSE(contains(rtctl({"cat", "Palkett0"}).out, "connected:"));

  auto echo = startComponents("EchoCaller,EchoProvider");
  ASSERT_TRUE(names.waitForBinding("EchoProvider0.rtc", kStartTimeout)) << echo->output();
  EXPECT_TRUE(rtctl({"connect", "EchoCaller0:echo", "EchoProvider0:echo"}).status.exitedWith(0));
}

TEST_F(RtctlSystemTest, waitPrintsTheFirstMatchingSampleAndSendsTheRequestOnceListening) {
  auto talk = startComponents("Talker,Listener");
  ASSERT_TRUE(names.waitForBinding("Listener0.rtc", kStartTimeout)) << talk->output();
  ASSERT_TRUE(rtctl({"activate", "Listener0"}).status.exitedWith(0));
  ASSERT_TRUE(rtctl({"activate", "Talker0"}).status.exitedWith(0));
  auto waited = rtctl({"wait", "Talker0:out", "hello #[0-9]*5", "--timeout", "30", "--send",
                       "Listener0:in", "request from wait"});
  ASSERT_TRUE(waited.status.exitedWith(0)) << waited.err;
  ASSERT_EQ(linesOf(waited.out).size(), 1u) << waited.out;
  EXPECT_TRUE(std::regex_match(linesOf(waited.out)[0], std::regex("hello #[0-9]*5"))) << waited.out;
  EXPECT_TRUE(talk->waitForOutput("received: request from wait", kEventTimeout));

  auto timedOut = rtctl({"wait", "Talker0:out", "never", "--timeout", "0.5"});
  EXPECT_TRUE(timedOut.status.exitedWith(1));
  EXPECT_EQ(linesOf(timedOut.err).size(), 1u) << timedOut.err;
  EXPECT_TRUE(contains(timedOut.err, "no sample matched \"never\" within 0.50 s")) << timedOut.err;
}

TEST_F(RtctlSystemTest, waitEndsOnOneLineWhenItsComponentGoesAway) {
  auto talker = startComponents("Talker");
  ASSERT_TRUE(names.waitForBinding("Talker0.rtc", kStartTimeout)) << talker->output();
  ASSERT_TRUE(rtctl({"activate", "Talker0"}).status.exitedWith(0));
  test_support::ChildProcess waiting(test_support::binPath("rtctl"),
                                     {"-n", names.address(), "wait", "Talker0:out", "never"});
  // Listening once its connection shows on the talker's port.
  test_support::waitUntil(
      [&] {
        return contains(rtctl({"cat", "Talker0"}).out, "connected:");
      },
      kEventTimeout, kPoll);
  talker->sendSignal(SIGKILL);
  auto status = waiting.waitForExit(kEventTimeout);
  ASSERT_TRUE(status.has_value()) << waiting.output();
  EXPECT_TRUE(status->exitedWith(1)) << status->describe();
  EXPECT_EQ(linesOf(waiting.standardError()).size(), 1u) << waiting.standardError();
  EXPECT_TRUE(contains(waiting.standardError(), "wait Talker0:out: Talker0")) << waiting.output();
}

TEST_F(RtctlSystemTest, waitEndsOnOneLineWhenTheWriterDropsItsConnection) {
  auto talker = startComponents("Talker");
  ASSERT_TRUE(names.waitForBinding("Talker0.rtc", kStartTimeout)) << talker->output();
  ASSERT_TRUE(rtctl({"activate", "Talker0"}).status.exitedWith(0));
  test_support::ChildProcess waiting(test_support::binPath("rtctl"),
                                     {"-n", names.address(), "wait", "Talker0:out", "never"});
  const auto connected = [&] { return contains(rtctl({"cat", "Talker0"}).out, "connected:"); };
  test_support::waitUntil(connected, kEventTimeout, kPoll);
  // rtctl does not answer, as behind a pulled cable: the talker's write times out and it drops
  // the connection.
  waiting.sendSignal(SIGSTOP);
  test_support::waitUntil([&] { return !connected(); }, kEventTimeout, kPoll);
  waiting.sendSignal(SIGCONT);
  auto status = waiting.waitForExit(kEventTimeout);
  ASSERT_TRUE(status.has_value()) << waiting.output();
  EXPECT_TRUE(status->exitedWith(1)) << status->describe();
  EXPECT_EQ(linesOf(waiting.standardError()).size(), 1u) << waiting.standardError();
  EXPECT_TRUE(
      contains(waiting.standardError(), "wait Talker0:out: Talker0 dropped rtctl's connection"))
      << waiting.output();
}

TEST_F(RtctlSystemTest, watchPrintsEachChangeOnATimeStampedLineUntilInterrupted) {
  auto talk = startComponents("Talker,Listener");
  ASSERT_TRUE(names.waitForBinding("Listener0.rtc", kStartTimeout)) << talk->output();
  test_support::ChildProcess watch(test_support::binPath("rtctl"),
                                   {"-n", names.address(), "watch", "--interval", "0.1"});
  ASSERT_TRUE(watch.waitForOutput("Talker0: Inactive", kEventTimeout)) << watch.output();
  ASSERT_TRUE(rtctl({"activate", "Talker0"}).status.exitedWith(0));
  EXPECT_TRUE(watch.waitForOutput("Talker0: Inactive -> Active", kEventTimeout)) << watch.output();
  ASSERT_TRUE(rtctl({"connect", "Talker0:out", "Listener0:in"}).status.exitedWith(0));
  EXPECT_TRUE(watch.waitForOutput("connected Listener0.in - Talker0.out", kEventTimeout))
      << watch.output();
  ASSERT_TRUE(rtctl({"conf", "Talker0", "set", "message", "changed"}).status.exitedWith(0));
  EXPECT_TRUE(watch.waitForOutput("Talker0: default.message hello -> changed", kEventTimeout))
      << watch.output();
  watch.sendSignal(SIGINT);
  auto status = watch.waitForExit(kEventTimeout);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(status->exitedWith(0)) << status->describe();
  for (const std::string& line : linesOf(watch.standardOutput())) {
    EXPECT_TRUE(std::regex_match(line, std::regex("[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3} .+")))
        << line;
  }
}

}  // namespace
}  // namespace rtctl_test
