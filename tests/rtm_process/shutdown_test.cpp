// How components end across processes: their last words reach their peers, a callback that
// waits gives way, and a callback that never returns does not keep the process up.
#include <gtest/gtest.h>
#include <signal.h>

#include "rt_process_fixture.h"

namespace rt_test {
namespace {

class Shutdown : public RtProcessTest {
 protected:
  // A Farewell connected to a Listener (data) and an EchoProvider (service), in three
  // processes, all active.
  void startFarewellWithPeers() {
    listener = startComponents("Listener");
    provider = startComponents("EchoProvider");
    farewell = startComponents("Farewell");
    for (const char* name : {"Listener0.rtc", "EchoProvider0.rtc", "Farewell0.rtc"})
      ASSERT_TRUE(names.waitForBinding(name, kStartTimeout)) << name;
    ASSERT_TRUE(rtctl({"connect", "Farewell0:out", "Listener0:in"}).status.exitedWith(0));
    ASSERT_TRUE(rtctl({"connect", "Farewell0:echo", "EchoProvider0:echo"}).status.exitedWith(0));
    ASSERT_TRUE(rtctl({"activate", "Listener0", "Farewell0"}).status.exitedWith(0));
  }

  // Both last words reached both peers, and the replies came back.
  void expectLastWordsDelivered() {
    for (const char* callback : {"onDeactivated", "onFinalize"}) {
      const std::string name = callback;
      EXPECT_TRUE(listener->waitForOutput("received: farewell from " + name, kEventTimeout))
          << listener->output();
      EXPECT_TRUE(provider->waitForOutput("echo called: " + name, kEventTimeout))
          << provider->output();
      EXPECT_NE(farewell->output().find(name + ": reply: echo:" + name), std::string::npos)
          << farewell->output();
    }
  }

  // Ends the Farewell with `signal` and checks what its peers got.
  void endWithSignal(int signal) {
    startFarewellWithPeers();
    farewell->sendSignal(signal);
    const auto status = farewell->waitForExit(kEventTimeout);
    ASSERT_TRUE(status.has_value()) << farewell->output();
    EXPECT_TRUE(status->exitedWith(0)) << status->describe();
    expectLastWordsDelivered();
    EXPECT_TRUE(names.waitForUnbinding("Farewell0.rtc", kEventTimeout));
  }

  std::unique_ptr<test_support::ChildProcess> listener;
  std::unique_ptr<test_support::ChildProcess> provider;
  std::unique_ptr<test_support::ChildProcess> farewell;
};

TEST_F(Shutdown, onSigtermAComponentsLastWordsReachItsPeersBeforeItsPortsGo) {
  endWithSignal(SIGTERM);
}

TEST_F(Shutdown, onSigintAComponentsLastWordsReachItsPeersBeforeItsPortsGo) {
  endWithSignal(SIGINT);
}

TEST_F(Shutdown, onExitAComponentsLastWordsReachItsPeersBeforeItsPortsGo) {
  startFarewellWithPeers();
  ASSERT_TRUE(rtctl({"exit", "Farewell0"}).status.exitedWith(0));
  const auto status = farewell->waitForExit(kEventTimeout);
  ASSERT_TRUE(status.has_value()) << farewell->output();
  EXPECT_TRUE(status->exitedWith(0)) << status->describe();
  expectLastWordsDelivered();
}

TEST_F(Shutdown, aDeactivationLeavesThePortsConnected) {
  startFarewellWithPeers();
  ASSERT_TRUE(rtctl({"deactivate", "Farewell0"}).status.exitedWith(0));
  EXPECT_TRUE(listener->waitForOutput("received: farewell from onDeactivated", kEventTimeout));
  EXPECT_NE(farewell->output().find("onDeactivated: reply: echo:onDeactivated"), std::string::npos)
      << farewell->output();
  const auto profile = rtctl({"cat", "Farewell0"});
  EXPECT_NE(profile.out.find("Listener0.in"), std::string::npos) << profile.out;
}

TEST_F(Shutdown, aCallbackThatWaitsGivesWayToADeactivationAndToSigterm) {
  auto waiter = startComponents("Waiter");
  ASSERT_TRUE(names.waitForBinding("Waiter0.rtc", kStartTimeout)) << waiter->output();
  ASSERT_TRUE(rtctl({"activate", "Waiter0"}).status.exitedWith(0));
  ASSERT_TRUE(waiter->waitForOutput("waiter: waiting", kEventTimeout));
  const auto deactivation = rtctl({"deactivate", "Waiter0"});
  EXPECT_TRUE(deactivation.status.exitedWith(0)) << deactivation.err;
  EXPECT_TRUE(waiter->waitForOutput("waiter: gave way", kEventTimeout));
  EXPECT_TRUE(waitForState("Waiter0", "Inactive"));

  ASSERT_TRUE(rtctl({"activate", "Waiter0"}).status.exitedWith(0));
  ASSERT_TRUE(waiter->waitForOutput("waiter: waiting", kEventTimeout, 2));
  waiter->sendSignal(SIGTERM);
  const auto status = waiter->waitForExit(kEventTimeout);
  ASSERT_TRUE(status.has_value()) << waiter->output();
  EXPECT_TRUE(status->exitedWith(0)) << status->describe();
  EXPECT_EQ(waiter->countInOutput("waiter: gave way"), 2);
}

TEST_F(Shutdown, aCallbackThatNeverReturnsDoesNotKeepTheProcessUp) {
  auto waiter = startComponents("Waiter", {"-o", "test.Waiter.conf.default.give_way:0"});
  ASSERT_TRUE(names.waitForBinding("Waiter0.rtc", kStartTimeout)) << waiter->output();
  ASSERT_TRUE(rtctl({"activate", "Waiter0"}).status.exitedWith(0));
  ASSERT_TRUE(waiter->waitForOutput("waiter: waiting", kEventTimeout));
  waiter->sendSignal(SIGTERM);
  const auto status = waiter->waitForExit(kEventTimeout);
  ASSERT_TRUE(status.has_value()) << waiter->output();
  EXPECT_TRUE(status->exitedWith(1)) << status->describe();
  EXPECT_NE(waiter->output().find(
                "Waiter0's onExecute did not return; the process ends without waiting for it"),
            std::string::npos)
      << waiter->output();
  EXPECT_TRUE(names.waitForUnbinding("Waiter0.rtc", kEventTimeout));
}

}  // namespace
}  // namespace rt_test
